// Reading zip archives: mounting (the index of entries below the game's root)
// and inflating one entry.
#include "files/archive.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/log.h"
#include "files/paths.h"

namespace archive {
namespace {
const char* const MAIN_SCRIPT = "main.lua";

std::string zipError(zip_error_t* error) {
  std::string text = zip_error_strerror(error);
  zip_error_fini(error);
  return text;
}

// Every folder above `path` (a file's path) into `folders`, the root included.
void addParents(const std::string& path, std::set<std::string>& folders) {
  folders.insert("");
  for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
    folders.insert(path.substr(0, slash));
}

// The game's root inside the archive: "" when main.lua is at the top, "DIR/"
// when every entry lies in the one folder DIR that holds main.lua. The
// resource-fork folder macOS adds to archives, and hidden entries, do not
// count as a second top folder.
bool findRoot(const std::map<std::string, zip_uint64_t>& all, std::string& root) {
  if (all.count(MAIN_SCRIPT)) {
    root.clear();
    return true;
  }
  std::set<std::string> tops;
  for (const auto& entry : all) {
    std::string top = entry.first.substr(0, entry.first.find('/'));
    if (top != "__MACOSX" && top[0] != '.') tops.insert(top);
  }
  if (tops.size() != 1) return false;
  root = *tops.begin() + "/";
  return all.count(root + MAIN_SCRIPT) != 0;
}

bool index(Archive& archive, std::string& error) {
  std::map<std::string, zip_uint64_t> all;
  zip_int64_t count = zip_get_num_entries(archive.zip, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive.zip, static_cast<zip_uint64_t>(i), 0);
    if (!name) continue;
    std::string normal;
    if (!paths::normaliseInGame(name, normal)) {
      DLOG("Archive entry %s leaves the game; ignored\n", name);
      continue;
    }
    size_t length = strlen(name);
    if (normal.empty() || (length > 0 && name[length - 1] == '/')) continue;  // folder entries
    all.emplace(normal, static_cast<zip_uint64_t>(i));
  }
  std::string root;
  if (!findRoot(all, root)) {
    error = "has no main.lua";
    return false;
  }
  for (auto& entry : all) {
    if (entry.first.compare(0, root.size(), root) != 0) continue;
    std::string path = entry.first.substr(root.size());
    addParents(path, archive.folders);
    archive.entries.emplace(std::move(path), entry.second);
  }
  return true;
}
}  // namespace

bool open(const std::string& path, uint64_t start, uint64_t length, Archive& archive,
          std::string& error) {
  zip_error_t problem;
  zip_error_init(&problem);
  zip_source_t* source = zip_source_file_create(
      path.c_str(), start, length > 0 ? static_cast<zip_int64_t>(length) : -1, &problem);
  if (!source) {
    error = zipError(&problem);
    return false;
  }
  archive.zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &problem);
  if (!archive.zip) {
    zip_source_free(source);
    error = zipError(&problem);
    return false;
  }
  zip_error_fini(&problem);
  if (index(archive, error)) return true;
  close(archive);
  return false;
}

void close(Archive& archive) {
  if (archive.zip) zip_discard(archive.zip);
  archive = Archive();
}

bool read(const Archive& archive, const std::string& path, std::string& bytes, std::string& error,
          size_t cap, files::ReadFailure& failure) {
  auto found = archive.entries.find(path);
  failure = files::ReadFailure::CannotOpen;
  if (found == archive.entries.end()) {
    error = strerror(ENOENT);
    return false;
  }
  zip_stat_t stat;
  if (zip_stat_index(archive.zip, found->second, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
    error = zip_strerror(archive.zip);
    return false;
  }
  if (stat.size > cap) {
    error = "larger than " + std::to_string(cap) + " bytes";
    failure = files::ReadFailure::TooLarge;
    return false;
  }
  zip_file_t* file = zip_fopen_index(archive.zip, found->second, 0);
  if (!file) {
    error = zip_strerror(archive.zip);
    return false;
  }
  // One byte more than declared is asked for: an entry that inflates beyond
  // its declared size is refused, not trusted.
  bytes.assign(static_cast<size_t>(stat.size) + 1, '\0');
  zip_uint64_t got = 0;
  zip_int64_t step = 0;
  while (got < bytes.size() && (step = zip_fread(file, &bytes[got], bytes.size() - got)) > 0)
    got += static_cast<zip_uint64_t>(step);
  bool ok = step >= 0 && got == stat.size;
  if (!ok) error = step < 0 ? zip_file_strerror(file) : "inflates to a size other than declared";
  failure = ok ? files::ReadFailure::None : files::ReadFailure::CannotRead;
  zip_fclose(file);
  bytes.resize(ok ? got : 0);
  return ok;
}
}  // namespace archive
