// The mount and the four ways in: exists, read, list, open. The folder mount
// passes paths to the system; the archive mount answers relative paths from
// its index and absolute ones from disk.
#include "files/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "files/archive.h"
#include "files/paths.h"
#include "platform/files.h"

namespace files {
namespace {
archive::Archive mounted;

bool inArchive(const std::string& path) { return mounted.zip && !platform::isAbsolute(path); }

// One loop for every file read whole from disk: the cap is checked as the
// bytes arrive, so a file growing past it is never held whole.
bool readDisk(const std::string& path, std::string& bytes, std::string& error, size_t cap,
              ReadFailure& failure) {
  bytes.clear();
  FILE* file = platform::openFile(path, "rb");
  if (!file) {
    error = strerror(errno);
    failure = ReadFailure::CannotOpen;
    return false;
  }
  char chunk[65536];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() <= cap)
    bytes.append(chunk, got);
  failure = ferror(file)         ? ReadFailure::CannotRead
            : bytes.size() > cap ? ReadFailure::TooLarge
                                 : ReadFailure::None;
  if (failure == ReadFailure::CannotRead) error = strerror(errno);
  if (failure == ReadFailure::TooLarge) error = "larger than " + std::to_string(cap) + " bytes";
  fclose(file);
  if (failure != ReadFailure::None) bytes.clear();
  return failure == ReadFailure::None;
}

std::vector<std::string> listDisk(const std::string& path) {
  std::vector<std::string> names = platform::listFolder(path);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> listArchive(const std::string& folder) {
  std::vector<std::string> names;
  std::string prefix = folder.empty() ? "" : folder + "/";
  // Files, then folders: both sets are sorted, the merge below sorts them all.
  for (auto it = mounted.entries.lower_bound(prefix);
       it != mounted.entries.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
    if (it->first.find('/', prefix.size()) == std::string::npos)
      names.push_back(it->first.substr(prefix.size()));
  for (auto it = mounted.folders.lower_bound(prefix);
       it != mounted.folders.end() && it->compare(0, prefix.size(), prefix) == 0; ++it)
    if (it->size() > prefix.size() && it->find('/', prefix.size()) == std::string::npos)
      names.push_back(it->substr(prefix.size()));
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

void mountFolder() { unmount(); }

bool mountArchive(const std::string& path, uint64_t start, uint64_t length, std::string& error) {
  archive::Archive opened;
  if (!archive::open(path, start, length, opened, error)) return false;
  unmount();
  mounted = std::move(opened);
  return true;
}

void unmount() { archive::close(mounted); }

bool archiveMounted() { return mounted.zip != nullptr; }

bool exists(const std::string& path) {
  if (!inArchive(path)) return platform::fileKind(path) == platform::FileKind::Regular;
  std::string normal;
  return paths::normaliseInGame(path, normal) && mounted.entries.count(normal) != 0;
}

bool read(const std::string& path, std::string& bytes, std::string& error, size_t cap,
          ReadFailure* failure) {
  ReadFailure why = ReadFailure::CannotOpen;
  bool ok = false;
  std::string normal;
  if (!inArchive(path))
    ok = readDisk(path, bytes, error, cap, why);
  else if (!paths::normaliseInGame(path, normal))
    error = "the path leaves the game";
  else
    ok = archive::read(mounted, normal, bytes, error, cap, why);
  if (failure) *failure = why;
  return ok;
}

std::vector<std::string> list(const std::string& path) {
  if (!inArchive(path)) return listDisk(path);
  std::string normal;
  if (!paths::normaliseInGame(path, normal) || !mounted.folders.count(normal)) return {};
  return listArchive(normal);
}

FILE* open(const std::string& path, const char* mode) {
  if (!inArchive(path)) return platform::openFile(path, mode);
  if (strcmp(mode, "r") != 0 && strcmp(mode, "rb") != 0) {
    errno = EROFS;
    return nullptr;
  }
  std::string normal, bytes, error;
  if (!paths::normaliseInGame(path, normal) || !mounted.entries.count(normal)) {
    errno = ENOENT;
    return nullptr;
  }
  ReadFailure failure;
  if (!archive::read(mounted, normal, bytes, error, MAX_FILE_BYTES, failure)) {
    errno = EIO;
    return nullptr;
  }
  return platform::memoryStream(std::move(bytes));
}
}  // namespace files
