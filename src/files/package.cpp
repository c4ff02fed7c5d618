// The deterministic game archive, written with libzip.
#include "files/package.h"

#include <zip.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/files.h"
#include "files/ignorefile.h"

namespace package {
namespace {
namespace fs = std::filesystem;

// 1980-01-01 00:00, the earliest time a zip entry can carry.
const zip_uint16_t FIXED_TIME = 0;
const zip_uint16_t FIXED_DATE = (0 << 9) | (1 << 5) | 1;
const zip_uint32_t FILE_MODE = 0100644;

bool compressedAlready(const fs::path& path) {
  std::string extension = path.extension().u8string();
  std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
  for (const char* known : {".png", ".jpg", ".jpeg", ".ogg", ".mp3", ".flac", ".opus", ".zip"})
    if (extension == known) return true;
  return false;
}

bool hidden(const fs::path& relative) {
  for (const fs::path& part : relative)
    if (part.u8string().size() > 0 && part.u8string()[0] == '.') return true;
  return false;
}

// The game's files as paths relative to `root`, sorted: not hidden, not
// ignored, not `out` and not left out.
bool collect(const fs::path& root, const fs::path& out, const LeftOut& leftOut,
             std::vector<std::string>& found, std::string& error) {
  std::vector<ignorefile::Rule> rules;
  std::string text;
  fs::path rulesFile = root / ignorefile::NAME;
  if (fs::exists(rulesFile)) {
    if (!files::read(rulesFile.u8string(), text, error)) {
      error = rulesFile.u8string() + ": " + error;
      return false;
    }
    rules = ignorefile::parse(text);
  }
  std::error_code problem;
  fs::recursive_directory_iterator walk(root, problem), end;
  for (; !problem && walk != end; walk.increment(problem)) {
    fs::path relative = walk->path().lexically_relative(root);
    bool folder = walk->is_directory();
    std::error_code same;
    if (hidden(relative) || ignorefile::ignored(rules, relative.generic_u8string(), folder) ||
        fs::equivalent(walk->path(), out, same) ||
        (leftOut && leftOut(walk->path().u8string(), folder))) {
      if (folder) walk.disable_recursion_pending();
      continue;
    }
    if (walk->is_regular_file()) found.push_back(relative.generic_u8string());
  }
  if (problem) {
    error = problem.message();
    return false;
  }
  std::sort(found.begin(), found.end());
  return true;
}

bool add(zip_t* zip, const fs::path& root, const std::string& name, std::string& error) {
  // libzip takes UTF-8 names on every system.
  zip_source_t* source = zip_source_file(zip, (root / fs::u8path(name)).u8string().c_str(), 0, -1);
  zip_int64_t index = source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
  if (index < 0) {
    if (source) zip_source_free(source);
    error = name + ": " + zip_strerror(zip);
    return false;
  }
  auto entry = static_cast<zip_uint64_t>(index);
  bool stored = compressedAlready(name);
  if (zip_set_file_compression(zip, entry, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                               stored ? 0 : 9) != 0 ||
      zip_file_set_dostime(zip, entry, FIXED_TIME, FIXED_DATE, 0) != 0 ||
      zip_file_set_external_attributes(zip, entry, 0, ZIP_OPSYS_UNIX, FILE_MODE << 16) != 0) {
    error = name + ": " + zip_strerror(zip);
    return false;
  }
  return true;
}
}  // namespace

bool write(const std::string& gameDir, const std::string& out, const LeftOut& leftOut,
           std::string& error) {
  fs::path root = fs::u8path(gameDir);
  if (!fs::is_regular_file(root / "main.lua")) {
    error = "'" + gameDir + "' has no main.lua";
    return false;
  }
  std::vector<std::string> names;
  if (!collect(root, fs::u8path(out), leftOut, names, error)) return false;
  if (!std::binary_search(names.begin(), names.end(), "main.lua")) {
    error = "its " + std::string(ignorefile::NAME) + " leaves out main.lua";
    return false;
  }
  std::error_code ignored;
  fs::remove(fs::u8path(out), ignored);  // a fresh archive, never entries added to an old one
  int code = 0;
  zip_t* zip = zip_open(out.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (!zip) {
    zip_error_t problem;
    zip_error_init_with_code(&problem, code);
    error = out + ": " + zip_error_strerror(&problem);
    zip_error_fini(&problem);
    return false;
  }
  for (const std::string& name : names)
    if (!add(zip, root, name, error)) {
      zip_discard(zip);
      return false;
    }
  if (zip_close(zip) != 0) {
    error = out + ": " + zip_strerror(zip);
    zip_discard(zip);
    return false;
  }
  return true;
}

bool writtenHere(const std::string& path) {
  int code = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!zip) return false;
  // libzip gives an entry's time as local time, as mktime reads the fields.
  tm fixed = {};
  fixed.tm_year = 80;
  fixed.tm_mday = 1;
  fixed.tm_isdst = -1;
  time_t stamp = mktime(&fixed);
  zip_int64_t count = zip_get_num_entries(zip, 0);
  bool ours = count > 0;
  for (zip_int64_t i = 0; ours && i < count; ++i) {
    zip_stat_t stat;
    ours = zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat) == 0 &&
           (stat.valid & ZIP_STAT_MTIME) && stat.mtime == stamp;
  }
  zip_discard(zip);
  return ours;
}
}  // namespace package
