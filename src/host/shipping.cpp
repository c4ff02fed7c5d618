// Packaging, fusing and bundling a game. The fused file is the executable's
// own bytes (without any game it carries already), the archive, and the
// trailer; it is written once and never edited afterwards, so the run path
// the executable was linked with ($ORIGIN/lib) is what finds a bundle's
// libraries.
#include "host/shipping.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "assets/frameworkfiles.h"
#include "files/files.h"
#include "files/package.h"
#include "host/fused.h"
#include "host/libraries.h"
#include "render/graphics.h"

namespace shipping {
namespace {
namespace fs = std::filesystem;

int failed(const std::string& what, const std::string& why) {
  fprintf(stderr, "tarnwick: cannot %s: %s\n", what.c_str(), why.c_str());
  return 1;
}

bool readWhole(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad() && in.is_open();
}

// The executable and the archive of `gameDir` as one file at `out`.
bool fuse(const std::string& gameDir, const std::string& out, std::string& error) {
  std::string archivePath = out + ".zip.part";
  std::string self = files::executablePath(), program, archive;
  bool ok = package::write(gameDir, archivePath, error);
  if (ok && !(readWhole(self, program) && readWhole(archivePath, archive))) {
    error = "cannot read " + self + " or " + archivePath;
    ok = false;
  }
  std::error_code ignored;
  fs::remove(archivePath, ignored);
  if (!ok) return false;
  uint64_t start = 0, length = 0;
  if (fused::find(self, start, length)) program.resize(start);
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  file << program << archive << fused::trailer(archive.size());
  file.close();
  if (!file || chmod(out.c_str(), 0755) != 0) {
    error = "cannot write " + out;
    return false;
  }
  return true;
}

bool copyInto(const std::string& from, const fs::path& folder, std::string& error) {
  std::error_code problem;
  fs::create_directories(folder, problem);
  if (!problem)
    fs::copy_file(from, folder / fs::path(from).filename(), fs::copy_options::overwrite_existing,
                  problem);
  if (problem) error = from + ": " + problem.message();
  return !problem;
}

// The default shaders and font, beside the executable where it looks first.
bool copyFrameworkFiles(const fs::path& outDir, std::string& error) {
  std::string shaders = frameworkfiles::find("shaders/" + SHADER_VERSION);
  std::string font = frameworkfiles::find("fonts/DejaVuSans.ttf");
  if (shaders.empty() || font.empty()) {
    error = "the framework's shaders or default font cannot be found";
    return false;
  }
  std::error_code problem;
  for (const fs::directory_entry& entry : fs::directory_iterator(shaders, problem))
    if (entry.is_regular_file() &&
        !copyInto(entry.path().string(), outDir / "shaders" / SHADER_VERSION, error))
      return false;
  if (problem) {
    error = shaders + ": " + problem.message();
    return false;
  }
  return copyInto(font, outDir / "fonts", error);
}
}  // namespace

int packageGame(const std::string& gameDir, const std::string& out) {
  std::string error;
  if (!package::write(gameDir, out, error)) return failed("package '" + gameDir + "'", error);
  printf("Packaged %s into %s\n", gameDir.c_str(), out.c_str());
  return 0;
}

int fuseGame(const std::string& gameDir, const std::string& out) {
  std::string error;
  if (!fuse(gameDir, out, error)) return failed("fuse '" + gameDir + "'", error);
  printf("Fused %s into %s\n", gameDir.c_str(), out.c_str());
  return 0;
}

int bundleGame(const std::string& gameDir, const std::string& outDir) {
  std::string error;
  std::error_code problem;
  fs::path folder(outDir);
  fs::create_directories(folder, problem);
  if (problem) return failed("bundle '" + gameDir + "'", outDir + ": " + problem.message());
  std::string name = fs::absolute(gameDir).lexically_normal().filename().string();
  if (name.empty()) name = fs::absolute(gameDir).lexically_normal().parent_path().filename();
  std::string program = (folder / name).string();
  if (!fuse(gameDir, program, error) || !copyFrameworkFiles(folder, error))
    return failed("bundle '" + gameDir + "'", error);
  size_t count = 0;
  for (const libraries::Library& library : libraries::toBundle()) {
    fs::path target = folder / "lib" / library.name;
    fs::create_directories(target.parent_path(), problem);
    if (!problem)
      fs::copy_file(library.path, target, fs::copy_options::overwrite_existing, problem);
    if (problem) return failed("bundle '" + gameDir + "'", library.path + ": " + problem.message());
    ++count;
  }
  printf("Bundled %s into %s: %s and %zu libraries in lib/\n", gameDir.c_str(), outDir.c_str(),
         name.c_str(), count);
  return 0;
}
}  // namespace shipping
