// The web export: the game archive, the runtime (tarnwick.js and .wasm) found
// where the web build put it, and the page, the framework's or the game's own
// web/index.html (with the game's name filled in) and web/tarnwick-page.js.
#include "host/webexport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "assets/frameworkfiles.h"
#include "files/files.h"
#include "files/package.h"
#include "host/outputs.h"
#include "platform/files.h"

namespace webexport {
namespace {
namespace fs = std::filesystem;

const char* const RUNTIME_FILES[] = {"tarnwick.js", "tarnwick.wasm"};
const char* const PAGE_FILES[] = {"index.html", "tarnwick-page.js"};

int failed(const std::string& gameDir, const std::string& why) {
  fprintf(stderr, "tarnwick: cannot export '%s' for the web: %s\n", gameDir.c_str(), why.c_str());
  return 1;
}

bool hasRuntime(const fs::path& folder) {
  std::error_code problem;
  for (const char* file : RUNTIME_FILES)
    if (!fs::is_regular_file(folder / file, problem)) return false;
  return true;
}

// The runtime's folder: TARNWICK_WEB_RUNTIME, else where an install or this
// build tree keeps the framework's files, else the repository's web build,
// the last only for the executable running uninstalled from its build tree:
// a released or fused copy never looks into the tree it was built in.
fs::path findRuntime() {
  if (const char* named = getenv("TARNWICK_WEB_RUNTIME"))
    return hasRuntime(named) ? fs::path(named) : fs::path();
  std::string installed = frameworkfiles::find("web/tarnwick.wasm");
  if (!installed.empty()) return fs::path(installed).parent_path();
#ifdef TARNWICK_WEB_BUILD_DIR
  std::error_code problem;
  bool inBuildTree =
      fs::equivalent(fs::u8path(platform::executablePath()).parent_path(), TARNWICK_BUILD_DIR,
                     problem);
  if (inBuildTree && hasRuntime(TARNWICK_WEB_BUILD_DIR)) return TARNWICK_WEB_BUILD_DIR;
#endif
  return {};
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The game's name as the page shows it and keys its saves by: the folder's.
std::string gameName(const std::string& gameDir) {
  fs::path folder = fs::absolute(gameDir).lexically_normal();
  std::string name = folder.filename().string();
  return name.empty() ? folder.parent_path().filename().string() : name;
}

// Text safe in the page's HTML, attribute values included.
std::string htmlText(const std::string& text) {
  std::string safe;
  for (char c : text) {
    if (c == '&') safe += "&amp;";
    else if (c == '<') safe += "&lt;";
    else if (c == '>') safe += "&gt;";
    else if (c == '"') safe += "&quot;";
    else if (c == '\'') safe += "&#39;";
    else safe += c;
  }
  return safe;
}

bool writePage(const std::string& gameDir, const fs::path& outDir, std::string& error) {
  for (const char* file : PAGE_FILES) {
    fs::path own = fs::path(gameDir) / "web" / file;
    std::string source = fs::is_regular_file(own) ? own.string()
                                                   : frameworkfiles::find(std::string("web/") + file);
    if (source.empty()) {
      error = std::string("the framework's page file web/") + file + " cannot be found";
      return false;
    }
    std::string text, why;
    if (!files::read(source, text, why)) {
      error = source + " cannot be read";
      return false;
    }
    if (fs::path(file).extension() == ".html")
      text = replaceAll(text, "{{GAME}}", htmlText(gameName(gameDir)));
    if (!outputs::write((outDir / file).string(), {&text}, false, error)) return false;
  }
  return true;
}
}  // namespace

int exportGame(const std::string& gameDir, const std::string& outDir) {
  std::error_code problem;
  fs::path folder(outDir);
  std::string archive = (folder / "game.zip").string();
  // Inside the game, only an earlier export is written over.
  if (outputs::insideGame(gameDir, outDir) && !fs::is_empty(folder, problem) && !problem &&
      !package::writtenHere(archive))
    return outputs::refuse("export-web", outDir);
  fs::path runtime = findRuntime();
  if (runtime.empty())
    return failed(gameDir,
                  "no web runtime (tarnwick.js and tarnwick.wasm) was found: build it with "
                  "scripts/build-web.sh from the source repository, install it with cmake "
                  "--install build/web, or name its folder in TARNWICK_WEB_RUNTIME");
  fs::create_directories(folder, problem);
  if (problem) return failed(gameDir, outDir + ": " + problem.message());
  std::string error;
  if (!outputs::writeArchive(gameDir, archive, error)) return failed(gameDir, error);
  for (const char* file : RUNTIME_FILES) {
    std::string bytes;
    if (!files::read((runtime / file).string(), bytes, error, SIZE_MAX) ||
        !outputs::write((folder / file).string(), {&bytes}, false, error))
      return failed(gameDir, (runtime / file).string() + ": " + error);
  }
  if (!writePage(gameDir, folder, error)) return failed(gameDir, error);
  printf("Exported %s into %s: index.html, tarnwick-page.js, tarnwick.js, tarnwick.wasm, game.zip\n",
         gameDir.c_str(), outDir.c_str());
  return 0;
}
}  // namespace webexport
