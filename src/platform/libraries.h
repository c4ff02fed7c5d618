// The shared libraries of this process, as a bundle needs them: which are
// loaded from where, and which names each one asks the loader for. Empty
// where the executable carries its libraries or takes them from elsewhere
// (Windows: the runtime folder's DLL list; a page: none).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace platform {
// File name to path of every shared library this process has loaded.
std::map<std::string, std::string> loadedLibraries();
// The library names the running executable needs.
std::vector<std::string> executableNeeds();
// The library names the library file at `path` needs.
std::vector<std::string> libraryNeeds(const std::string& path);
}  // namespace platform
