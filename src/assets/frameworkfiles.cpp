// Lookup of the framework's own files in its three folders.
#include "assets/frameworkfiles.h"

#include <SDL.h>
#include <unistd.h>

namespace frameworkfiles {
std::string find(const std::string& relative) {
  std::string folders[4];
  if (char* base = SDL_GetBasePath()) {
    folders[0] = base;
    folders[1] = std::string(base) + "../share/tarnwick/";
    SDL_free(base);
  }
  folders[2] = TARNWICK_DATA_BUILD_DIR "/";
  folders[3] = TARNWICK_DATA_INSTALL_DIR "/";
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = folder + relative;
    if (access(path.c_str(), R_OK) == 0) return path;
  }
  return "";
}
}  // namespace frameworkfiles
