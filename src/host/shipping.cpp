// Packaging, fusing and bundling a game. The fused file is the executable's
// own bytes (without any game it carries already), the archive, and the
// trailer; it is written once and never edited afterwards, so the run path
// the executable was linked with ($ORIGIN/lib) is what finds a bundle's
// libraries. For Windows the executable is the Windows runtime's instead,
// and its DLLs sit beside it.
#include "host/shipping.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "assets/frameworkfiles.h"
#include "files/files.h"
#include "files/package.h"
#include "host/fused.h"
#include "host/libraries.h"
#include "host/outputs.h"
#include "host/runtimes.h"
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
  fs::path path = fs::u8path(out);
  return !outputs::insideGame(gameDir, out) || !fs::exists(fs::symlink_status(path, problem)) ||
         (fs::is_regular_file(path, problem) && earlier(out));
}

// The executable `runtime` and the archive of `gameDir` as one file at
// `out`. The archive is made in the system's temporary folder, never in the
// game.
bool fuse(const std::string& gameDir, const std::string& runtime, const std::string& out,
          bool executable, std::string& error) {
  std::error_code problem;
  fs::path folder = fs::temp_directory_path(problem);
  std::string temporaryFolder = problem ? "/tmp" : folder.u8string();
  std::string archivePath = platform::temporaryFile(temporaryFolder);
  if (archivePath.empty()) {
    error = temporaryFolder + ": " + strerror(errno);
    return false;
  }
  std::string program, archive, why;
  bool ok = package::write(gameDir, archivePath, outputs::isOutput, error);
  if (ok && !(files::read(runtime, program, why, SIZE_MAX) &&
              files::read(archivePath, archive, why, SIZE_MAX))) {
    error = "cannot read " + runtime + " or " + archivePath + ": " + why;
    ok = false;
  }
  platform::removeFile(archivePath);
  if (!ok) return false;
  uint64_t start = 0, length = 0;
  if (fused::find(runtime, start, length)) program.resize(start);
  std::string trailer = fused::trailer(archive.size());
  return outputs::write(out, {&program, &archive, &trailer}, executable, error);
}

// The Windows runtime: its folder and the DLLs that must sit beside it.
struct WindowsRuntime {
  std::string folder;
  std::vector<std::string> dlls;
  std::string program() const { return (fs::u8path(folder) / "tarnwick.exe").u8string(); }
};

// A DLL list's entry names a file of the runtime's own folder, nothing else.
bool plainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string::npos;
}

// Finds the runtime and reads its DLL list (one file name a line); false with
// `error` set, saying how to get one when there is none.
bool findWindowsRuntime(WindowsRuntime& runtime, std::string& error) {
  runtime.folder = runtimes::find(runtimes::windows());
  if (runtime.folder.empty()) {
    error = "no Windows runtime (tarnwick.exe and tarnwick-dlls.txt) was found: build it with "
            "scripts/build-windows.sh from the source repository (cmake --install of the "
            "framework then carries it), or name its folder in TARNWICK_WINDOWS_RUNTIME";
    return false;
  }
  std::string list = (fs::u8path(runtime.folder) / "tarnwick-dlls.txt").u8string(), text;
  if (!files::read(list, text, error)) {
    error = list + ": " + error;
    return false;
  }
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(begin, end - begin);
    begin = end + 1;
    name.erase(name.find_last_not_of(" \t\r") + 1);
    name.erase(0, name.find_first_not_of(" \t"));
    if (name.empty()) continue;
    if (!plainFileName(name)) {
      error = list + ": '" + name + "' is not a file name beside the runtime";
      return false;
    }
    runtime.dlls.push_back(name);
  }
  return true;
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
  return outputs::write(target.u8string(), {&bytes}, false, error);
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

// The bundle's executable: named after the game folder, with `suffix`.
std::string bundledProgram(const std::string& outDir, const std::string& gameDir,
                           const std::string& suffix) {
  fs::path folder = fs::absolute(fs::u8path(gameDir)).lexically_normal();
  std::string name = folder.filename().u8string();
  if (name.empty()) name = folder.parent_path().filename().u8string();
  return (fs::u8path(outDir) / fs::u8path(name + suffix)).u8string();
}

bool forWindows(const std::string& target) { return target == "windows"; }

// The command's name in messages: "bundle 'GAME'", with the target when it
// is not this machine.
std::string doing(const char* command, const std::string& gameDir, const std::string& target) {
  return std::string(command) + " '" + gameDir + "'" + (forWindows(target) ? " for Windows" : "");
}

// The Windows bundle: GAME.exe and the runtime's DLLs beside it. Nothing
// else: the runtime carries the framework's shaders and font.
bool bundleForWindows(const std::string& gameDir, const WindowsRuntime& runtime,
                      const std::string& program, std::string& error) {
  if (!fuse(gameDir, runtime.program(), program, false, error)) return false;
  fs::path folder = fs::u8path(program).parent_path();
  for (const std::string& dll : runtime.dlls)
    if (!copyFile((fs::u8path(runtime.folder) / fs::u8path(dll)).u8string(), folder / fs::u8path(dll),
                  error))
      return false;
  return true;
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

int fuseGame(const std::string& gameDir, const std::string& out, const std::string& target) {
  if (!placeable(gameDir, out, outputs::isFused)) return outputs::refuse("fuse", out);
  std::string error;
  WindowsRuntime windows;
  if (forWindows(target)) {
    if (!findWindowsRuntime(windows, error)) return failed(doing("fuse", gameDir, target), error);
    if (!windows.dlls.empty())
      return failed(doing("fuse", gameDir, target),
                    "the Windows runtime in " + windows.folder + " needs " +
                        std::to_string(windows.dlls.size()) +
                        " DLLs beside it: use --bundle --target windows");
  }
  std::string runtime = forWindows(target) ? windows.program() : platform::executablePath();
  if (!fuse(gameDir, runtime, out, !forWindows(target), error))
    return failed(doing("fuse", gameDir, target), error);
  printf("Fused %s into %s\n", gameDir.c_str(), out.c_str());
  return 0;
}

int bundleGame(const std::string& gameDir, const std::string& outDir, const std::string& target) {
  std::string program = bundledProgram(outDir, gameDir, forWindows(target) ? ".exe" : "");
  std::error_code problem;
  fs::path folder = fs::u8path(outDir);
  // Inside the game, only an earlier bundle (it holds the executable) is
  // written over.
  if (outputs::insideGame(gameDir, outDir) && !fs::is_empty(folder, problem) && !problem &&
      !outputs::isFused(program))
    return outputs::refuse("bundle", outDir);
  std::string what = doing("bundle", gameDir, target), error;
  WindowsRuntime windows;
  if (forWindows(target) && !findWindowsRuntime(windows, error)) return failed(what, error);
  fs::create_directories(folder, problem);
  if (problem) return failed(what, outDir + ": " + problem.message());
  if (forWindows(target)) {
    if (!bundleForWindows(gameDir, windows, program, error)) return failed(what, error);
    printf("Bundled %s into %s: %s and %zu DLLs beside it\n", gameDir.c_str(), outDir.c_str(),
           fs::u8path(program).filename().u8string().c_str(), windows.dlls.size());
    return 0;
  }
  if (!fuse(gameDir, platform::executablePath(), program, true, error) ||
      !copyFrameworkFiles(folder, error))
    return failed(what, error);
  size_t count = 0;
  for (const libraries::Library& library : libraries::toBundle()) {
    if (!copyFile(library.path, folder / "lib" / library.name, error))
      return failed(what, error);
    ++count;
  }
  printf("Bundled %s into %s: %s and %zu libraries in lib/\n", gameDir.c_str(), outDir.c_str(),
         fs::u8path(program).filename().u8string().c_str(), count);
  return 0;
}
}  // namespace shipping
