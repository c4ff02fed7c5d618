// Parsing of the command line. Nothing here opens a window or touches SDL.
#include "host/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace options {
namespace {
bool parseCount(const char* text, int minimum, int* value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  long parsed = strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < minimum || parsed > INT_MAX) return false;
  *value = static_cast<int>(parsed);
  return true;
}

// Whole numbers a double holds exactly, so that math.randomseed(N) in a script
// starts the sequence --seed N does.
bool parseSeed(const char* text, long long* value) {
  if (!text || !*text) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = strtoll(text, &end, 10);
  const long long exact = 1LL << 53;
  if (errno != 0 || *end != '\0' || parsed < -exact || parsed > exact) return false;
  *value = parsed;
  return true;
}

bool parseTarget(const char* text, Options& options, std::string& message) {
  if (!text || (strcmp(text, "linux") != 0 && strcmp(text, "windows") != 0)) {
    message = std::string("tarnwick: --target needs linux or windows, got '") +
              (text ? text : "") + "'";
    return false;
  }
  options.shipTarget = text;
  return true;
}
}  // namespace

const char* usage() {
  return "Usage: tarnwick [options] [GAME_DIR | GAME.zip]\n"
         "       tarnwick --convert-model IN.obj OUT.mod [--animation ANIM.lua]\n"
         "       tarnwick --package GAME_DIR OUT.zip\n"
         "       tarnwick --fuse [--target windows] GAME_DIR OUT\n"
         "       tarnwick --bundle [--target windows] GAME_DIR OUT_DIR\n"
         "       tarnwick --export-web GAME_DIR OUT_DIR\n"
         "Runs the game in GAME_DIR (main.lua and assets/; default: the current folder,\n"
         "or the game this executable carries) or in the zip archive GAME.zip.\n"
         "\n"
         "  --windowed         a window of the configured size instead of full screen\n"
         "  --frames N         end the run after frame N\n"
         "  --screenshot FILE  write the last drawn frame to FILE as an RGBA PNG\n"
         "                     (a relative FILE is taken from the current folder)\n"
         "  --fixed-dt MS      every frame advances MS milliseconds, without pacing\n"
         "  --seed N           math.random starts from seed N (default: the clock's time,\n"
         "                     or 1 with --fixed-dt)\n"
         "  --debug            report every Lua error once with its traceback, and names\n"
         "                     that resolve to nothing\n"
         "  --strict           like --debug, and the first Lua error ends the run with\n"
         "                     exit status 1\n"
         "  --watch            reload main.lua, scripts, shaders, textures and sprites\n"
         "                     when they are saved\n"
         "  --quiet            log only errors, warnings and the game's own output\n"
         "  --new DIR          write a starter game into DIR (new or empty) and stop\n"
         "  --convert-model IN.obj OUT.mod\n"
         "                     write a .mod model from an OBJ mesh and stop\n"
         "  --animation FILE   with --convert-model: key-frame curves described in Lua\n"
         "  --package GAME_DIR OUT.zip\n"
         "                     write the game as a zip archive and stop\n"
         "  --fuse GAME_DIR OUT\n"
         "                     write one executable that runs the game and stop\n"
         "  --bundle GAME_DIR OUT_DIR\n"
         "                     write that executable, the framework's files and the\n"
         "                     libraries a player may lack into OUT_DIR and stop\n"
         "  --target linux|windows\n"
         "                     with --fuse or --bundle: the player's system (default: this\n"
         "                     one); windows writes GAME.exe from the Windows runtime\n"
         "  --export-web GAME_DIR OUT_DIR\n"
         "                     write a web page that plays the game into OUT_DIR and stop\n"
         "  --help             show this text\n"
         "  --version          show the version\n";
}

Outcome parse(int argc, char** argv, Options& options, std::string& message) {
  bool haveGameDir = false, converting = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    if (strcmp(arg, "--help") == 0) return Outcome::HELP;
    if (strcmp(arg, "--version") == 0) return Outcome::VERSION;
    if (strcmp(arg, "--windowed") == 0) {
      options.windowed = true;
    } else if (strcmp(arg, "--debug") == 0) {
      options.debug = true;
    } else if (strcmp(arg, "--strict") == 0) {
      options.strict = true;
    } else if (strcmp(arg, "--quiet") == 0) {
      options.quiet = true;
    } else if (strcmp(arg, "--watch") == 0) {
      options.watch = true;
    } else if (strcmp(arg, "--frames") == 0) {
      if (!parseCount(next, 1, &options.frames)) {
        message = std::string("tarnwick: --frames needs a positive whole number, got '") +
                  (next ? next : "") + "'";
        return Outcome::BAD;
      }
      ++i;
    } else if (strcmp(arg, "--fixed-dt") == 0) {
      if (!parseCount(next, 0, &options.fixedDtMs)) {
        message = std::string("tarnwick: --fixed-dt needs a whole number of milliseconds, got '") +
                  (next ? next : "") + "'";
        return Outcome::BAD;
      }
      ++i;
    } else if (strcmp(arg, "--seed") == 0) {
      if (!parseSeed(next, &options.seed)) {
        message = std::string("tarnwick: --seed needs a whole number, got '") +
                  (next ? next : "") + "'";
        return Outcome::BAD;
      }
      options.seedGiven = true;
      ++i;
    } else if (strcmp(arg, "--convert-model") == 0) {
      const char* mod = i + 2 < argc ? argv[i + 2] : nullptr;
      if (!next || !*next || !mod || !*mod) {
        message = "tarnwick: --convert-model needs an OBJ file and a .mod file";
        return Outcome::BAD;
      }
      options.convertObj = next;
      options.convertMod = mod;
      converting = true;
      i += 2;
    } else if (strcmp(arg, "--package") == 0 || strcmp(arg, "--fuse") == 0 ||
               strcmp(arg, "--bundle") == 0 || strcmp(arg, "--export-web") == 0) {
      // --bundle --target windows GAME_DIR OUT_DIR reads as written.
      if (next && strcmp(next, "--target") == 0) {
        if (!parseTarget(i + 2 < argc ? argv[i + 2] : nullptr, options, message))
          return Outcome::BAD;
        i += 2;
        next = i + 1 < argc ? argv[i + 1] : nullptr;
      }
      const char* out = i + 2 < argc ? argv[i + 2] : nullptr;
      if (!next || !*next || !out || !*out) {
        message = std::string("tarnwick: ") + arg + " needs a game folder and what to write";
        return Outcome::BAD;
      }
      options.ship = arg + 2;
      options.shipGame = next;
      options.shipOut = out;
      i += 2;
    } else if (strcmp(arg, "--target") == 0) {
      if (!parseTarget(next, options, message)) return Outcome::BAD;
      ++i;
    } else if (strcmp(arg, "--animation") == 0) {
      if (!next || !*next) {
        message = "tarnwick: --animation needs a file name";
        return Outcome::BAD;
      }
      options.convertAnimation = next;
      ++i;
    } else if (strcmp(arg, "--new") == 0) {
      if (!next || !*next) {
        message = "tarnwick: --new needs a folder name";
        return Outcome::BAD;
      }
      options.newGame = next;
      ++i;
    } else if (strcmp(arg, "--screenshot") == 0) {
      if (!next || !*next) {
        message = "tarnwick: --screenshot needs a file name";
        return Outcome::BAD;
      }
      options.screenshot = next;
      ++i;
    } else if (arg[0] == '-' && arg[1] != '\0') {
      message = std::string("tarnwick: unknown option '") + arg + "'";
      return Outcome::BAD;
    } else if (haveGameDir) {
      message = std::string("tarnwick: more than one game folder given: '") + arg + "'";
      return Outcome::BAD;
    } else {
      options.gameDir = arg;
      haveGameDir = options.gameGiven = true;
    }
  }
  if (!options.convertAnimation.empty() && !converting) {
    message = "tarnwick: --animation belongs to --convert-model";
    return Outcome::BAD;
  }
  if (converting && haveGameDir) {
    message = "tarnwick: --convert-model takes no game folder";
    return Outcome::BAD;
  }
  if (!options.shipTarget.empty() && options.ship != "fuse" && options.ship != "bundle") {
    message = "tarnwick: --target belongs to --fuse and --bundle";
    return Outcome::BAD;
  }
  if (converting) return Outcome::CONVERT;
  if (!options.ship.empty()) return Outcome::SHIP;
  return options.newGame.empty() ? Outcome::RUN : Outcome::NEW_GAME;
}
}  // namespace options
