// The command line: tarnwick [options] [GAME_DIR].
#pragma once

#include <string>

struct Options {
  std::string gameDir = ".";  // a game folder or a game archive
  bool gameGiven = false;     // named on the command line (else a fused game may run)
  bool windowed = false;    // a window of the configured size, not full screen
  int frames = 0;           // end the run after this frame; 0 runs until quit
  std::string screenshot;   // PNG of the last drawn frame
  int fixedDtMs = -1;       // fixed time step in ms, frames back to back; -1 is real time
  bool seedGiven = false;   // --seed: math.random starts from `seed`
  long long seed = 0;       // a whole number within +-2^53, as math.randomseed takes it
  bool debug = false;       // development mode: errors, tracebacks and missing names shown
  bool strict = false;      // the first Lua error ends the run with status 1 (implies debug)
  bool quiet = false;       // only errors, warnings and the game's own output
  bool watch = false;       // reload edited scripts, shaders, textures and sprites
  std::string newGame;      // --new: the folder to write a starter game into
  // --convert-model: the OBJ file to read, the .mod file to write, and the
  // optional animation description.
  std::string convertObj;
  std::string convertMod;
  std::string convertAnimation;
  // --package, --fuse, --bundle: the command (its option without dashes), the
  // game folder and what to write.
  std::string ship;
  std::string shipGame;
  std::string shipOut;
  std::string shipTarget;  // --target of --fuse and --bundle: "linux" or "windows"; empty is this machine
};

namespace options {
enum class Outcome { RUN, HELP, VERSION, NEW_GAME, BAD, CONVERT, SHIP };

// Fills `options`; for BAD, `message` names the offending option or value.
Outcome parse(int argc, char** argv, Options& options, std::string& message);
const char* usage();
}  // namespace options
