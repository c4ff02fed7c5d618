// The script's way to end the run.
#include "core/app.h"

#include "core/log.h"
#include "core/runstate.h"

namespace app {
void quit() {
  DLOG(LogLevel::Info, "Exit\n");
  ::quit = 1;
}
}  // namespace app
