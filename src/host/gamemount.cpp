// Choosing and mounting the game, and naming its save folder.
#include "host/gamemount.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/log.h"
#include "files/files.h"
#include "files/saves.h"
#include "host/fused.h"

namespace gamemount {
namespace {
// The last component of `path`, without its extension when `dropExtension`.
std::string baseName(const std::string& path, bool dropExtension) {
  std::filesystem::path whole(path);
  return (dropExtension ? whole.stem() : whole.filename()).string();
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
  std::string self = files::executablePath();
  if (!options.gameGiven && fused::find(self, start, length)) {
    nameSaves(baseName(self, false));
    return mountArchive(options, self, start, length, "the game this executable carries");
  }
  struct stat info;
  if (stat(options.gameDir.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    nameSaves(baseName(options.gameDir, true));
    return mountArchive(options, options.gameDir, 0, 0,
                        "game archive '" + options.gameDir + "'");
  }
  if (chdir(options.gameDir.c_str()) != 0) {
    fprintf(stderr, "tarnwick: cannot enter game folder '%s': %s\n", options.gameDir.c_str(),
            strerror(errno));
    return 2;
  }
  nameSaves(baseName(std::filesystem::current_path().string(), false));
  files::mountFolder();
  return 0;
}
}  // namespace gamemount
