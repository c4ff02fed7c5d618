// The quit flag and the script's way to set it.
#include "host/app.h"

#include "host/host.h"
#include "host/log.h"

int quit = 0;

namespace app {
void quit() {
  DLOG("Exit\n");
  ::quit = 1;
}
}  // namespace app
