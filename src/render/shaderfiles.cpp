// Shader source lookup: the game's files first, then the framework's copies.
#include "render/shaderfiles.h"

#include <cstdio>
#include <cstring>

#include "assets/frameworkfiles.h"
#include "core/diagnostics.h"
#include "core/log.h"
#include "files/files.h"
#include "render/graphics.h"

namespace shaderfiles {
namespace {
const char* const GAME_FOLDER = "assets/shaders/";

// The framework's copy of a shader file, or empty.
std::string frameworkCopy(const std::string& file) {
  return frameworkfiles::find("shaders/" + SHADER_VERSION + "/" + file);
}
}  // namespace

std::string find(const std::string& name, const char* extension) {
  char buffer[PATH_BUFFER];
  int length = snprintf(buffer, sizeof buffer, "%s%s/%s.%s", GAME_FOLDER, SHADER_VERSION.c_str(),
                        name.c_str(), extension);
  if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) {
    DLOG(LogLevel::Error, "Shader name too long (%zu characters): %s\n", name.size(), name.c_str());
    return "";
  }
  std::string gamePath = buffer;
  if (files::exists(gamePath)) return gamePath;
  std::string copy = frameworkCopy(name + "." + extension);
  if (copy.empty())
    diagnostics::warnOnceUnderDebug("shader " + gamePath,
                          "Warning: shader %s.%s is neither in assets/shaders/%s/ nor among the "
                          "framework's shaders\n",
                          name.c_str(), extension, SHADER_VERSION.c_str());
  return copy.empty() ? gamePath : copy;
}

bool framework(const std::string& path) {
  return path.compare(0, strlen(GAME_FOLDER), GAME_FOLDER) != 0;
}
}  // namespace shaderfiles
