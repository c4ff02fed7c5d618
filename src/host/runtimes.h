// Where the runtimes that packaging copies for another platform are found: the
// web runtime of --export-web and the Windows runtime of --bundle --target
// windows. Each is a folder holding a fixed set of files.
#pragma once

#include <string>
#include <vector>

namespace runtimes {
struct Kind {
  const char* variable;            // the environment variable naming its folder
  const char* subfolder;           // its folder in an installed framework
  std::vector<std::string> files;  // what the folder must hold
  const char* built;               // the source tree's build of it; empty when unknown
};

const Kind& web();
const Kind& windows();

// The runtime's folder: the one `kind.variable` names, else the installed
// framework's (share/tarnwick/SUBFOLDER), else the source tree's
// build/SUBFOLDER, the last only for the executable running uninstalled from
// its build tree: a released or fused copy never looks into the tree it was
// built in. Empty when none holds every file.
std::string find(const Kind& kind);
}  // namespace runtimes
