// Desktop stub of the file watcher.
#include "host/filesystem.h"

#include "core/log.h"

namespace filesystem {
void watch(std::string, std::function<void(Change, std::string)>) {
  DLOG("Watch not implemented on this platform\n");
}
}  // namespace filesystem
