// The quit flag and the script's way to set it.
#include "core/app.h"

#include "core/runstate.h"
#include "core/log.h"

int quit = 0;

namespace app {
void quit() {
  DLOG("Exit\n");
  ::quit = 1;
}
}  // namespace app
