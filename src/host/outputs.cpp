// Output placement and whole writes for the packaging commands.
#include "host/outputs.h"

#include <sys/stat.h>
#include <unistd.h>

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

namespace outputs {
namespace fs = std::filesystem;

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
  fs::path folder = fs::u8path(path).parent_path();
  std::string temporary = (folder / ".tarnwick-XXXXXX").u8string();
  int descriptor = mkstemp(&temporary[0]);
  if (descriptor < 0) {
    error = (folder.empty() ? std::string(".") : folder.u8string()) + ": " + strerror(errno);
    return "";
  }
  close(descriptor);
  return temporary;
}

bool replace(const std::string& temporary, const std::string& path, bool executable,
             std::string& error) {
  mode_t mask = umask(0);
  umask(mask);
  mode_t mode = (executable ? 0777 : 0666) & ~mask;
  if (chmod(temporary.c_str(), mode) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": " + strerror(errno);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool isFused(const std::string& path) {
  uint64_t start = 0, length = 0;
  return fused::find(path, start, length);
}

bool isOutput(const std::string& path, bool folder) {
  std::error_code problem;
  if (!folder)
    return isFused(path) || package::writtenHere(path);
  fs::path folderPath = fs::u8path(path);
  if (fs::is_regular_file(folderPath / "tarnwick.wasm", problem) &&
      package::writtenHere((folderPath / "game.zip").u8string()))
    return true;
  for (const fs::directory_entry& entry : fs::directory_iterator(folderPath, problem))
    if (entry.is_regular_file(problem) && isFused(entry.path().u8string())) return true;
  return false;
}

bool writeArchive(const std::string& gameDir, const std::string& out, std::string& error) {
  std::string temporary = temporaryBeside(out, error);
  if (temporary.empty()) return false;
  if (!package::write(gameDir, temporary, isOutput, error)) {
    unlink(temporary.c_str());
    return false;
  }
  return replace(temporary, out, false, error);
}

bool write(const std::string& path, const std::vector<const std::string*>& pieces,
           bool executable, std::string& error) {
  std::string temporary = temporaryBeside(path, error);
  if (temporary.empty()) return false;
  FILE* file = fopen(temporary.c_str(), "wb");
  bool ok = file != nullptr;
  for (const std::string* piece : pieces)
    ok = ok && fwrite(piece->data(), 1, piece->size(), file) == piece->size();
  if (file && fclose(file) != 0) ok = false;
  if (!ok) {
    error = path + ": " + strerror(errno);
    unlink(temporary.c_str());
    return false;
  }
  return replace(temporary, path, executable, error);
}
}  // namespace outputs
