// The file system through POSIX calls: the Linux desktop, and the page, whose
// C library (musl) has the same calls over its in-memory file system.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/files.h"

namespace platform {
namespace {

// The rename reaches the disk with its folder.
void syncFolder(const std::string& folder) {
  int descriptor = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

bool syncFile(const std::string& path) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  bool ok = fsync(descriptor) == 0;
  int error = errno;
  close(descriptor);
  errno = error;
  return ok;
}

struct Memory {
  std::string bytes;
  size_t at = 0;
};

ssize_t readMemory(void* cookie, char* buffer, size_t size) {
  auto* memory = static_cast<Memory*>(cookie);
  size_t count = std::min(size, memory->bytes.size() - memory->at);
  memcpy(buffer, memory->bytes.data() + memory->at, count);
  memory->at += count;
  return static_cast<ssize_t>(count);
}

int seekMemory(void* cookie, off64_t* offset, int whence) {
  auto* memory = static_cast<Memory*>(cookie);
  off64_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? static_cast<off64_t>(memory->at)
                                      : static_cast<off64_t>(memory->bytes.size());
  off64_t target = base + *offset;
  if (target < 0 || target > static_cast<off64_t>(memory->bytes.size())) {
    errno = EINVAL;
    return -1;
  }
  memory->at = static_cast<size_t>(target);
  *offset = target;
  return 0;
}

int closeMemory(void* cookie) {
  delete static_cast<Memory*>(cookie);
  return 0;
}
}  // namespace

std::string executablePath() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
}

const char* executableSuffix() { return ""; }

std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string userDataFolder() {
  const char* data = getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/tarnwick";
  const char* home = getenv("HOME");
  if (home && home[0]) return std::string(home) + "/.local/share/tarnwick";
  return "";
}

bool isAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

FILE* openFile(const std::string& path, const char* mode) { return fopen(path.c_str(), mode); }

FileKind fileKind(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return FileKind::None;
  return S_ISREG(info.st_mode)   ? FileKind::Regular
         : S_ISDIR(info.st_mode) ? FileKind::Folder
                                 : FileKind::Other;
}

bool isFolder(FILE* file) {
  struct stat info;
  return fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = opendir(path.c_str());
  if (!folder) return names;
  while (dirent* entry = readdir(folder))
    if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
      names.push_back(entry->d_name);
  closedir(folder);
  return names;
}

bool makeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool removeFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool setWorkingFolder(const std::string& path) { return chdir(path.c_str()) == 0; }

std::string workingFolder() {
  char path[4096];
  return getcwd(path, sizeof path) ? path : "";
}

std::string temporaryFile(const std::string& folder) {
  std::string temporary = (folder.empty() ? "" : folder + "/") + ".tarnwick-XXXXXX";
  int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
  if (descriptor < 0) return "";
  close(descriptor);
  return temporary;
}

bool replaceFile(const std::string& temporary, const std::string& path, Access access) {
  bool ok = true;
  if (access != Access::Private) {
    // A new file's mode: the umask can only be read by setting it.
    mode_t mask = umask(0);
    umask(mask);
    ok = chmod(temporary.c_str(), (access == Access::Executable ? 0777 : 0666) & ~mask) == 0;
  }
  ok = ok && syncFile(temporary) && rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    int error = errno;
    unlink(temporary.c_str());
    errno = error;
    return false;
  }
  syncFolder(folderOf(path));
  return true;
}

FILE* memoryStream(std::string bytes) {
  auto* memory = new Memory{std::move(bytes), 0};
  cookie_io_functions_t functions = {readMemory, nullptr, seekMemory, closeMemory};
  FILE* file = fopencookie(memory, "rb", functions);
  if (!file) delete memory;
  return file;
}
}  // namespace platform
