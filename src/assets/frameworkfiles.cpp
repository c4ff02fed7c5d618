// Lookup of the framework's own files in its three folders and among the
// copies built into the executable.
#include "assets/frameworkfiles.h"

#include <cstdio>
#include <cstring>

#include "assets/builtinfiles.h"
#include "files/files.h"
#include "platform/files.h"

namespace frameworkfiles {
namespace {
// The running executable's folder with its trailing slash ('/' on every
// system); empty when it cannot be told.
std::string executableFolder() {
  std::string path = platform::executablePath();
  return path.substr(0, path.rfind('/') + 1);
}

const builtinfiles::File* builtInCopy(const std::string& relative) {
  for (size_t i = 0; i < builtinfiles::COUNT; ++i)
    if (relative == builtinfiles::FILES[i].name) return &builtinfiles::FILES[i];
  return nullptr;
}

// The framework-relative name of a path in one of the folders; empty for
// any other path.
std::string relativeName(const std::string& path, const std::string folders[], size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (!folders[i].empty() && path.compare(0, folders[i].size(), folders[i]) == 0)
      return path.substr(folders[i].size());
  return "";
}

// Where find() looks on disk, most specific first; empty entries are skipped.
const size_t FOLDERS = 3;
void diskFolders(std::string folders[FOLDERS]) {
  std::string base = executableFolder();
  if (!base.empty()) {
    folders[0] = base;
    folders[1] = base + "../share/tarnwick/";
  }
#ifdef TARNWICK_DATA_INSTALL_DIR
  folders[2] = TARNWICK_DATA_INSTALL_DIR "/";
#endif
}
}  // namespace

std::string find(const std::string& relative) {
  std::string folders[FOLDERS];
  diskFolders(folders);
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = folder + relative;
    if (FILE* file = platform::openFile(path, "rb")) {
      fclose(file);
      return path;
    }
  }
  return builtInCopy(relative) ? BUILT_IN + relative : "";
}

bool read(const std::string& path, std::string& bytes, std::string& error) {
  std::string relative;
  size_t prefix = strlen(BUILT_IN);
  if (path.compare(0, prefix, BUILT_IN) == 0) {
    relative = path.substr(prefix);
  } else {
    if (files::read(path, bytes, error)) return true;
    std::string folders[FOLDERS];
    diskFolders(folders);
    relative = relativeName(path, folders, FOLDERS);
  }
  const builtinfiles::File* copy = relative.empty() ? nullptr : builtInCopy(relative);
  if (!copy) {
    if (error.empty()) error = "no such file";
    return false;
  }
  bytes.assign(reinterpret_cast<const char*>(copy->bytes), copy->size);
  return true;
}

std::vector<std::string> builtIn() {
  std::vector<std::string> names;
  for (size_t i = 0; i < builtinfiles::COUNT; ++i) names.push_back(builtinfiles::FILES[i].name);
  return names;
}
}  // namespace frameworkfiles
