// Output placement and whole writes for the packaging commands.
#include "host/outputs.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/package.h"
#include "host/fused.h"
#include "platform/files.h"

namespace outputs {
namespace fs = std::filesystem;
namespace {
platform::Access access(bool executable) {
  return executable ? platform::Access::Executable : platform::Access::Shared;
}
}  // namespace

bool insideGame(const std::string& gameDir, const std::string& path) {
  std::error_code problem;
  fs::path game = fs::weakly_canonical(fs::u8path(gameDir), problem);
  fs::path out = fs::weakly_canonical(fs::u8path(path), problem);
  if (problem) return false;
  auto mismatch = std::mismatch(game.begin(), game.end(), out.begin(), out.end());
  return mismatch.first == game.end();
}

int refuse(const std::string& command, const std::string& out) {
  fprintf(stderr, "tarnwick: --%s refuses '%s': it is part of the game, not an earlier output\n",
          command.c_str(), out.c_str());
  return REFUSED;
}

std::string temporaryBeside(const std::string& path, std::string& error) {
  // Short and hidden: the final name may be as long as a name can be, and a
  // packer never takes a hidden file.
  std::string folder = fs::u8path(path).parent_path().u8string();
  std::string temporary = platform::temporaryFile(folder);
  if (temporary.empty())
    error = (folder.empty() ? std::string(".") : folder) + ": " + strerror(errno);
  return temporary;
}

bool replace(const std::string& temporary, const std::string& path, bool executable,
             std::string& error) {
  if (platform::replaceFile(temporary, path, access(executable))) return true;
  error = path + ": " + strerror(errno);
  return false;
}

bool isFused(const std::string& path) {
  uint64_t start = 0, length = 0;
  return fused::find(path, start, length);
}

bool isOutput(const std::string& path, bool folder) {
  std::error_code problem;
  if (!folder)
    return isFused(path) || package::writtenHere(path);
  if (fs::is_regular_file(fs::u8path(path) / "tarnwick.wasm", problem) &&
      package::writtenHere((fs::u8path(path) / "game.zip").u8string()))
    return true;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(path), problem))
    if (entry.is_regular_file(problem) && isFused(entry.path().u8string())) return true;
  return false;
}

bool writeArchive(const std::string& gameDir, const std::string& out, std::string& error) {
  std::string temporary = temporaryBeside(out, error);
  if (temporary.empty()) return false;
  if (!package::write(gameDir, temporary, isOutput, error)) {
    platform::removeFile(temporary);
    return false;
  }
  return replace(temporary, out, false, error);
}

bool write(const std::string& path, const std::vector<const std::string*>& pieces,
           bool executable, std::string& error) {
  if (platform::writeFile(path, pieces, access(executable))) return true;
  error = path + ": " + strerror(errno);
  return false;
}
}  // namespace outputs
