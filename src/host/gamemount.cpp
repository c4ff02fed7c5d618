// Choosing and mounting the game, and naming its save folder.
#include "host/gamemount.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/log.h"
#include "files/files.h"
#include "files/saves.h"
#include "host/fused.h"
#include "platform/files.h"

namespace gamemount {
namespace {
// The last component of `path`, without its extension when `dropExtension`.
std::string baseName(const std::string& path, bool dropExtension) {
  std::filesystem::path whole = std::filesystem::u8path(path);
  return (dropExtension ? whole.stem() : whole.filename()).u8string();
}

// A fused game's name: its program's, without the system's suffix (a
// Windows GAME.exe keeps its saves where a Linux GAME does).
std::string programName(const std::string& path) {
  std::string name = baseName(path, false), suffix = platform::executableSuffix();
  bool suffixed = name.size() > suffix.size() &&
                  name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
  return suffixed ? name.substr(0, name.size() - suffix.size()) : name;
}

void nameSaves(const std::string& name) {
  if (!saves::setIdentity(name)) saves::setIdentity("game");
}

int mountArchive(Options& options, const std::string& path, uint64_t start, uint64_t length,
                 const std::string& what) {
  std::string error;
  if (!files::mountArchive(path, start, length, error)) {
    fprintf(stderr, "tarnwick: cannot run %s: %s\n", what.c_str(), error.c_str());
    return 1;
  }
  if (options.watch) {
    DLOG("--watch does nothing for a game archive; it reloads the files of a game folder\n");
    options.watch = false;
  }
  return 0;
}
}  // namespace

int mount(Options& options) {
  uint64_t start = 0, length = 0;
  std::string self = platform::executablePath();
  if (!options.gameGiven && fused::find(self, start, length)) {
    nameSaves(programName(self));
    return mountArchive(options, self, start, length, "the game this executable carries");
  }
  if (platform::fileKind(options.gameDir) == platform::FileKind::Regular) {
    nameSaves(baseName(options.gameDir, true));
    return mountArchive(options, options.gameDir, 0, 0,
                        "game archive '" + options.gameDir + "'");
  }
  if (!platform::setWorkingFolder(options.gameDir)) {
    fprintf(stderr, "tarnwick: cannot enter game folder '%s': %s\n", options.gameDir.c_str(),
            strerror(errno));
    return 2;
  }
  nameSaves(baseName(platform::workingFolder(), false));
  files::mountFolder();
  return 0;
}
}  // namespace gamemount
