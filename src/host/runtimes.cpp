// Finding a runtime folder by environment variable, install and build tree.
#include "host/runtimes.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "assets/frameworkfiles.h"
#include "platform/files.h"

// Only a desktop build tree knows where the source tree's other builds lie.
#ifndef TARNWICK_WEB_BUILD_DIR
#define TARNWICK_WEB_BUILD_DIR ""
#define TARNWICK_WINDOWS_BUILD_DIR ""
#endif

namespace runtimes {
namespace {
namespace fs = std::filesystem;

bool holdsAll(const std::string& folder, const Kind& kind) {
  std::error_code problem;
  for (const std::string& file : kind.files)
    if (!fs::is_regular_file(fs::u8path(folder) / fs::u8path(file), problem)) return false;
  return true;
}

bool inBuildTree() {
#ifdef TARNWICK_BUILD_DIR
  std::error_code problem;
  return fs::equivalent(fs::u8path(platform::executablePath()).parent_path(),
                        fs::u8path(TARNWICK_BUILD_DIR), problem);
#else
  return false;
#endif
}
}  // namespace

const Kind& web() {
  static const Kind kind{"TARNWICK_WEB_RUNTIME", "web", {"tarnwick.js", "tarnwick.wasm"},
                          TARNWICK_WEB_BUILD_DIR};
  return kind;
}

const Kind& windows() {
  static const Kind kind{"TARNWICK_WINDOWS_RUNTIME", "windows", {"tarnwick.exe", "tarnwick-dlls.txt"},
                          TARNWICK_WINDOWS_BUILD_DIR};
  return kind;
}

std::string find(const Kind& kind) {
  if (const char* named = getenv(kind.variable)) return holdsAll(named, kind) ? named : "";
  std::string marker = std::string(kind.subfolder) + "/" + kind.files.back();
  std::string installed = frameworkfiles::find(marker);
  if (!installed.empty() && installed.compare(0, strlen(frameworkfiles::BUILT_IN),
                                              frameworkfiles::BUILT_IN) != 0) {
    std::string folder = installed.substr(0, installed.size() - kind.files.back().size() - 1);
    if (holdsAll(folder, kind)) return folder;
  }
  return *kind.built && inBuildTree() && holdsAll(kind.built, kind) ? kind.built : "";
}
}  // namespace runtimes
