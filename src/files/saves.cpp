// The save folder: where it is, and writing, reading, removing and listing
// its files.
#include "files/saves.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "files/files.h"
#include "files/paths.h"
#include "platform/files.h"
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

// The folder's path; raises when there is none.
std::string knownFolder() {
  std::string where = folder();
  if (where.empty())
    throw std::runtime_error(
        "no save folder: the user's data folder cannot be told (on Linux, neither XDG_DATA_HOME "
        "nor HOME is set)");
  return where;
}

// The folder, created; raises when it cannot be had.
std::string openFolder(const std::string& name) {
  std::string where = knownFolder();
  if (!platform::makeFolders(where)) fail("write", name, errno);
  return where;
}
}  // namespace

bool setIdentity(const std::string& name) {
  if (!paths::plainName(name)) return false;
  current = name;
  return true;
}

const std::string& identity() { return current; }

std::string folder() {
  std::string base = platform::userDataFolder();
  return base.empty() ? "" : base + "/" + current;
}

void write(const std::string& name, const std::string& bytes) {
  checkName(name);
  std::string where = openFolder(name);
  // Through a temporary whose name starts with "." (never a save's name), so
  // a run killed at any moment leaves the old save or the new.
  if (!platform::writeFile(where + "/" + name, {&bytes}, platform::Access::Private))
    fail("write", name, errno);
  platform::savesChanged();
}

bool read(const std::string& name, std::string& bytes) {
  checkName(name);
  std::string where = folder();
  if (where.empty()) return false;
  std::string file = where + "/" + name;
  // Only a save that is not there is "no save": one that is there but cannot
  // be read must not look like a new player, whose first write would replace it.
  if (platform::fileKind(file) == platform::FileKind::None) {
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
  if (platform::removeFile(where + "/" + name)) {
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
    if (paths::plainName(name) &&
        platform::fileKind(where + "/" + name) == platform::FileKind::Regular)
      names.push_back(name);
  }
  return names;
}

// Made by the first write only: asking where saves go changes nothing on disk.
std::string path() { return knownFolder(); }
}  // namespace saves
