// The save folder: where it is, and writing, reading, removing and listing
// its files.
#include "files/saves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "files/files.h"
#include "files/paths.h"
#include "platform/platform.h"

namespace saves {
namespace {
std::string current = "game";

[[noreturn]] void fail(const std::string& what, const std::string& name, int error) {
  throw std::runtime_error("cannot " + what + " save '" + name + "': " + strerror(error));
}

void checkName(const std::string& name) {
  if (!paths::plainName(name))
    throw std::runtime_error("save name '" + name +
                             "' is refused: use a plain file name (none of /\\:*?\"<>| or control "
                             "characters, no leading '.', no trailing '.' or ' ', not CON, NUL, "
                             "COM1 and the like)");
}

// Creates `path` and the folders above it, private to the user as data
// folders are.
bool makeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// The folder's path; raises when there is none.
std::string knownFolder() {
  std::string where = folder();
  if (where.empty())
    throw std::runtime_error("no save folder: neither XDG_DATA_HOME nor HOME is set");
  return where;
}

// The folder, created; raises when it cannot be had.
std::string openFolder(const std::string& name) {
  std::string where = knownFolder();
  if (!makeFolders(where)) fail("write", name, errno);
  return where;
}

bool writeAll(int descriptor, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t step = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (step < 0 && errno == EINTR) continue;
    if (step < 0) return false;
    done += static_cast<size_t>(step);
  }
  return true;
}
}  // namespace

bool setIdentity(const std::string& name) {
  if (!paths::plainName(name)) return false;
  current = name;
  return true;
}

const std::string& identity() { return current; }

std::string folder() {
  const char* data = getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/tarnwick/" + current;
  const char* home = getenv("HOME");
  if (home && home[0]) return std::string(home) + "/.local/share/tarnwick/" + current;
  return "";
}

void write(const std::string& name, const std::string& bytes) {
  checkName(name);
  std::string where = openFolder(name);
  // The temporary's name starts with "." so it is never a save's name, and is
  // unique, so two runs writing the same save never share one.
  // A short fixed-length name, so that every allowed save name (up to the
  // file system's 255 bytes) still leaves room for it.
  std::string temporary = where + "/.write.XXXXXX";
  int descriptor = mkostemp(&temporary[0], O_CLOEXEC);
  if (descriptor < 0) fail("write", name, errno);
  bool ok = writeAll(descriptor, bytes) && fsync(descriptor) == 0;
  int error = errno;
  if (close(descriptor) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(temporary.c_str(), (where + "/" + name).c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(temporary.c_str());
    fail("write", name, error);
  }
  // The rename itself reaches the disk with the folder.
  int folderDescriptor = open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor >= 0) {
    fsync(folderDescriptor);
    close(folderDescriptor);
  }
  platform::savesChanged();
}

bool read(const std::string& name, std::string& bytes) {
  checkName(name);
  std::string where = folder();
  if (where.empty()) return false;
  std::string file = where + "/" + name;
  // Only a save that is not there is "no save": one that is there but cannot
  // be read must not look like a new player, whose first write would replace it.
  struct stat info;
  if (stat(file.c_str(), &info) != 0) {
    if (errno == ENOENT) return false;
    fail("read", name, errno);
  }
  std::string problem;
  if (!files::read(file, bytes, problem))
    throw std::runtime_error("cannot read save '" + name + "': " + problem);
  return true;
}

bool remove(const std::string& name) {
  checkName(name);
  std::string where = folder();
  if (where.empty()) return false;
  if (unlink((where + "/" + name).c_str()) == 0) {
    platform::savesChanged();
    return true;
  }
  if (errno == ENOENT) return false;
  fail("remove", name, errno);
}

std::vector<std::string> list() {
  std::vector<std::string> names;
  std::string where = folder();
  if (where.empty()) return names;
  for (const std::string& name : files::list(where)) {
    struct stat info;
    if (paths::plainName(name) && stat((where + "/" + name).c_str(), &info) == 0 &&
        S_ISREG(info.st_mode))
      names.push_back(name);
  }
  return names;
}

// Made by the first write only: asking where saves go changes nothing on disk.
std::string path() { return knownFolder(); }
}  // namespace saves
