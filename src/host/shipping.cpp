// Packaging, fusing and bundling a game. The fused file is the executable's
// own bytes (without any game it carries already), the archive, and the
// trailer; it is written once and never edited afterwards, so the run path
// the executable was linked with ($ORIGIN/lib) is what finds a bundle's
// libraries.
#include "host/shipping.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "assets/frameworkfiles.h"
#include "files/files.h"
#include "files/package.h"
#include "host/fused.h"
#include "host/libraries.h"
#include "host/outputs.h"
#include "platform/files.h"
#include "render/graphics.h"

namespace shipping {
namespace {
namespace fs = std::filesystem;

int failed(const std::string& what, const std::string& why) {
  fprintf(stderr, "tarnwick: cannot %s: %s\n", what.c_str(), why.c_str());
  return 1;
}

// Whether `out` may be written for a game in `gameDir`: outside the game,
// not there yet, or an earlier output that `earlier` recognises.
bool placeable(const std::string& gameDir, const std::string& out,
               bool (*earlier)(const std::string&)) {
  std::error_code problem;
  return !outputs::insideGame(gameDir, out) || !fs::exists(fs::symlink_status(out, problem)) ||
         (fs::is_regular_file(out, problem) && earlier(out));
}

// The executable and the archive of `gameDir` as one file at `out`. The
// archive is made in the system's temporary folder, never in the game.
bool fuse(const std::string& gameDir, const std::string& out, std::string& error) {
  std::error_code problem;
  fs::path folder = fs::temp_directory_path(problem);
  std::string temporaryFolder = problem ? "/tmp" : folder.u8string();
  std::string archivePath = platform::temporaryFile(temporaryFolder);
  if (archivePath.empty()) {
    error = temporaryFolder + ": " + strerror(errno);
    return false;
  }
  std::string self = platform::executablePath(), program, archive, why;
  bool ok = package::write(gameDir, archivePath, outputs::isOutput, error);
  if (ok && !(files::read(self, program, why, SIZE_MAX) &&
              files::read(archivePath, archive, why, SIZE_MAX))) {
    error = "cannot read " + self + " or " + archivePath + ": " + why;
    ok = false;
  }
  platform::removeFile(archivePath);
  if (!ok) return false;
  uint64_t start = 0, length = 0;
  if (fused::find(self, start, length)) program.resize(start);
  std::string trailer = fused::trailer(archive.size());
  return outputs::write(out, {&program, &archive, &trailer}, true, error);
}

// A file of the framework's or a library, copied whole into `target`.
bool copyFile(const std::string& from, const fs::path& target, std::string& error) {
  std::string bytes, why;
  std::error_code problem;
  fs::create_directories(target.parent_path(), problem);
  if (problem || !frameworkfiles::read(from, bytes, why)) {
    error = from + ": " + (problem ? problem.message() : why);
    return false;
  }
  return outputs::write(target.string(), {&bytes}, false, error);
}

// The default shaders and font, beside the executable where it looks first.
bool copyFrameworkFiles(const fs::path& outDir, std::string& error) {
  std::string shaders = "shaders/" + SHADER_VERSION + "/";
  for (const std::string& name : frameworkfiles::builtIn())
    if ((name.compare(0, shaders.size(), shaders) == 0 || name == "fonts/DejaVuSans.ttf") &&
        !copyFile(frameworkfiles::find(name), outDir / name, error))
      return false;
  return true;
}

// The bundle's executable: named after the game folder.
std::string bundledProgram(const std::string& outDir, const std::string& gameDir) {
  fs::path folder = fs::absolute(gameDir).lexically_normal();
  std::string name = folder.filename().string();
  if (name.empty()) name = folder.parent_path().filename().string();
  return (fs::path(outDir) / name).string();
}
}  // namespace

int packageGame(const std::string& gameDir, const std::string& out) {
  if (!placeable(gameDir, out, package::writtenHere)) return outputs::refuse("package", out);
  std::string error;
  if (!outputs::writeArchive(gameDir, out, error))
    return failed("package '" + gameDir + "'", error);
  printf("Packaged %s into %s\n", gameDir.c_str(), out.c_str());
  return 0;
}

int fuseGame(const std::string& gameDir, const std::string& out) {
  if (!placeable(gameDir, out, outputs::isFused)) return outputs::refuse("fuse", out);
  std::string error;
  if (!fuse(gameDir, out, error)) return failed("fuse '" + gameDir + "'", error);
  printf("Fused %s into %s\n", gameDir.c_str(), out.c_str());
  return 0;
}

int bundleGame(const std::string& gameDir, const std::string& outDir) {
  std::string program = bundledProgram(outDir, gameDir);
  std::error_code problem;
  // Inside the game, only an earlier bundle (it holds the executable) is
  // written over.
  if (outputs::insideGame(gameDir, outDir) && !fs::is_empty(outDir, problem) && !problem &&
      !outputs::isFused(program))
    return outputs::refuse("bundle", outDir);
  std::string error;
  fs::path folder(outDir);
  fs::create_directories(folder, problem);
  if (problem) return failed("bundle '" + gameDir + "'", outDir + ": " + problem.message());
  if (!fuse(gameDir, program, error) || !copyFrameworkFiles(folder, error))
    return failed("bundle '" + gameDir + "'", error);
  size_t count = 0;
  for (const libraries::Library& library : libraries::toBundle()) {
    if (!copyFile(library.path, folder / "lib" / library.name, error))
      return failed("bundle '" + gameDir + "'", error);
    ++count;
  }
  printf("Bundled %s into %s: %s and %zu libraries in lib/\n", gameDir.c_str(), outDir.c_str(),
         fs::path(program).filename().c_str(), count);
  return 0;
}
}  // namespace shipping
