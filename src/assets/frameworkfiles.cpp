// Lookup of the framework's own files in its four folders.
#include "assets/frameworkfiles.h"

#include <unistd.h>

#include "files/files.h"

namespace frameworkfiles {
namespace {
// The running executable's folder with its trailing slash; empty when it
// cannot be told.
std::string executableFolder() {
  std::string path = files::executablePath();
  return path.substr(0, path.rfind('/') + 1);
}
}  // namespace

std::string find(const std::string& relative) {
  std::string folders[4];
  std::string base = executableFolder();
  if (!base.empty()) {
    folders[0] = base;
    folders[1] = base + "../share/tarnwick/";
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
