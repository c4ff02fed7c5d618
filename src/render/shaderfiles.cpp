// Shader source lookup: the game's folder first, then the framework's copies.
#include "render/shaderfiles.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>

#include "core/log.h"
#include "render/graphics.h"

namespace shaderfiles {
namespace {
bool readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

// The framework's shader folders, most specific first: beside the executable,
// the installed tree relative to it (a prefix chosen at install or packaging
// time), the build tree (test programs live elsewhere), the configured prefix.
std::string frameworkCopy(const std::string& file) {
  std::string folders[4];
  if (char* base = SDL_GetBasePath()) {
    folders[0] = std::string(base) + "shaders/";
    folders[1] = std::string(base) + "../share/tarnwick/shaders/";
    SDL_free(base);
  }
  folders[2] = TARNWICK_SHADER_BUILD_DIR "/";
  folders[3] = TARNWICK_SHADER_INSTALL_DIR "/";
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = folder + SHADER_VERSION + "/" + file;
    if (readable(path)) return path;
  }
  return "";
}
}  // namespace

std::string find(const std::string& name, const char* extension) {
  char buffer[PATH_BUFFER];
  int length = snprintf(buffer, sizeof buffer, "assets/shaders/%s/%s.%s", SHADER_VERSION.c_str(),
                        name.c_str(), extension);
  if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) {
    DLOG("Shader name too long (%zu characters): %s\n", name.size(), name.c_str());
    return "";
  }
  std::string gamePath = buffer;
  if (readable(gamePath)) return gamePath;
  std::string copy = frameworkCopy(name + "." + extension);
  return copy.empty() ? gamePath : copy;
}
}  // namespace shaderfiles
