// Development mode through the real executable: swallowed errors and missing
// names reported once under --debug and not at all without it, --strict's exit
// status, --quiet's filter and config.debug.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "support/game_run.h"

using namespace testsupport;

namespace {
// Every kind of error the default mode swallows, each on its own line, and
// names that resolve to nothing.
const char* const FAULTY_GAME =
    "config = { width = 64, height = 48 }\n"
    "world = { enableCulling = false, camera = {}, { camera = { target = 'offscreen' } },\n"
    "  { onUpdate = function(node) return node.missing + 1 end },\n"
    "  { x = function() error('x fails') end },\n"
    "  function() error('no child') end,\n"
    "  { particles = { frequency = 100, emit = function() error('emit fails') end } },\n"
    "  { particles = { frequency = 100, sprite = 'none', emit = function()\n"
    "      return { lifeTime = 1, alpha = function() error('curve fails') end } end } },\n"
    "  { texture = 'nowhere' }, { model = 'ghost' },\n"
    "  { vertices = { 0, 0, 0, 9, 0, 0, 0, 9, 0 }, uniforms = { glow = 1 } },\n"
    "}\n"
    "function update() print('frame') end\n";

const char* const ON_UPDATE_ERROR =
    "Lua error in onUpdate: main.lua:3: attempt to perform arithmetic on field 'missing' (a nil "
    "value)";

std::vector<std::string> debugArgs(const GameFolder& game, const char* mode) {
  return {mode, "--windowed", "--frames", "4", "--fixed-dt", "16", game.path()};
}
}  // namespace

TEST(DevelopmentMode, SwallowedErrorsAndMissingNamesAreSilentByDefaultAndReportedOnceUnderDebug) {
  GameFolder game;
  game.writeMain(FAULTY_GAME);
  GameRun plain = runFrames(game, 4);
  ASSERT_EQ(plain.exitStatus, 0) << plain.out;
  EXPECT_EQ(plain.out.find("Lua error"), std::string::npos) << plain.out;
  EXPECT_EQ(plain.out.find("Warning"), std::string::npos) << plain.out;
  EXPECT_EQ(countLines(plain.out, "Failed to find texture nowhere"), 8);  // 4 frames, 2 cameras

  GameRun debug = runTarnwick(debugArgs(game, "--debug"));
  ASSERT_EQ(debug.exitStatus, 0) << debug.out;
  for (const std::string& line :
       {std::string(ON_UPDATE_ERROR), std::string("Lua error in field x: main.lua:4: x fails"),
        std::string("Lua error in generator function: main.lua:5: no child"),
        std::string("Lua error in emit: main.lua:6: emit fails"),
        std::string("Lua error in curve alpha: main.lua:8: curve fails"),
        std::string("Failed to find texture nowhere"), std::string("Couldn't find sprite \"none\""),
        std::string("Warning: camera target offscreen names no render target; the camera draws "
                    "into the window"),
        std::string("Warning: no model ghost: neither ghost nor assets/models/ghost.obj nor "
                    "assets/models/ghost.mod can be read"),
        std::string("Warning: the shader pair p p does not use the uniform glow that a node "
                    "supplies")})
    EXPECT_EQ(countLines(debug.out, line), 1) << line << "\n" << debug.out;
  EXPECT_TRUE(linesInOrder(debug.out, {ON_UPDATE_ERROR, "stack traceback:",
                                       "\tmain.lua:3: in function <main.lua:3>"}))
      << debug.out;
  EXPECT_TRUE(linesInOrder(debug.out, {"frame", "frame", "frame", "frame",
                                       std::string("4 times: ") + ON_UPDATE_ERROR, "SDLquit"}))
      << debug.out;
}

TEST(DevelopmentMode, ConfigDebugCitesMainLuaToo) {
  GameFolder game;
  game.writeMain(
      "config = { width = 64, height = 48, debug = true }\n"
      "world = { { onUpdate = function() error('boom') end } }\n");
  GameRun run = runFrames(game, 2);
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(countLines(run.out, "Lua error in onUpdate: main.lua:2: boom"), 1) << run.out;
  EXPECT_EQ(countLines(run.out, "2 times: Lua error in onUpdate: main.lua:2: boom"), 1) << run.out;
}

TEST(DevelopmentMode, StrictEndsTheRunAfterTheFrameOfTheFirstErrorWithStatusOne) {
  GameFolder game;
  game.writeMain(FAULTY_GAME);
  GameRun strict = runTarnwick(debugArgs(game, "--strict"));
  EXPECT_EQ(strict.exitStatus, 1) << strict.out;
  EXPECT_EQ(countLines(strict.out, "frame"), 1) << strict.out;
  EXPECT_EQ(countLines(strict.out, ON_UPDATE_ERROR), 1) << strict.out;

  // Errors the default mode does log count too: here one in init, before any frame.
  game.writeMain("config = { width = 64, height = 48 }\nworld = {}\n"
                 "function init() error('no start') end\nfunction update() print('frame') end\n");
  strict = runTarnwick(debugArgs(game, "--strict"));
  EXPECT_EQ(strict.exitStatus, 1) << strict.out;
  EXPECT_EQ(countLines(strict.out, "frame"), 0) << strict.out;
  EXPECT_EQ(countLines(strict.out, "Lua error in init: main.lua:3: no start"), 1) << strict.out;

  game.writeMain("config = { width = 64, height = 48 }\nworld = {}\n");
  EXPECT_EQ(runTarnwick(debugArgs(game, "--strict")).exitStatus, 0);
}

TEST(DevelopmentMode, QuietKeepsErrorsWarningsAndTheGamesOwnOutput) {
  GameFolder game;
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "world = { camera = {}, { texture = 'nowhere' } }\n"
      "print('printed')\n"
      "function init() log.DLOG('logged\\n') end\n"
      "function update() nothing() end\n");
  GameRun run = runTarnwick(debugArgs(game, "--quiet"));
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"printed", "logged", "Failed to find texture nowhere"}))
      << run.out;
  EXPECT_EQ(countLines(run.out, "Lua error: [string \"config = { width = 64, height = 48 }...\"]"
                                ":5: attempt to call global 'nothing' (a nil value)"),
            4)
      << run.out;
  for (const char* progress : {"Load lua main", "Init graphics", "Start main loop", "SDLquit",
                               "Final quit", "Watch not implemented on this platform", "",
                               "Shader created"})
    EXPECT_EQ(countLines(run.out, progress), 0) << progress << "\n" << run.out;
  EXPECT_EQ(run.out.find("Compiling shader"), std::string::npos) << run.out;
}

// Every line a plain run prints is either progress (dropped under --quiet) or
// kept, so a line logged at the wrong level shows up as a difference.
TEST(DevelopmentMode, QuietDropsExactlyTheProgressLines) {
  GameFolder game;
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "world = { camera = {}, { texture = 'nowhere' }, { model = 'ghost' },\n"
      "  { text = 'hi', font = 'nofont' } }\n"
      "function init() audio.playEffect('nothing'); log.DLOG('game line\\n') end\n"
      "local frames = 0\n"
      "function update() frames = frames + 1; if frames == 2 then app.quit() end end\n");
  GameRun plain = runFrames(game, 4);
  GameRun quiet = runTarnwick(debugArgs(game, "--quiet"));
  ASSERT_EQ(plain.exitStatus, 0) << plain.out;
  ASSERT_EQ(quiet.exitStatus, 0) << quiet.out;
  const std::regex progress(
      "|Random seed .*|Load lua main|Get size|Init SDL|Init audio|Init graphics|Load assets|Create textures|"
      "Create sheets|Call main lua init|Start main loop|SDLquit|Final quit|Exit|Quit|"
      "Watch not implemented on this platform|Red size: .*| Green size: .*| Blue size: .*|"
      "gl_.*|Compiling shader .*|Shader created|Looking for files in folder .*|"
      "Create texture .*|Copy images|Return sheet|Load sound .*|Attempt to parse mod .*");
  // The font lines end without a line break: what follows shares their line.
  const std::regex fontProgress("^Load font [^ ]*/(OLDENGL|TrashHand)");
  std::istringstream lines(plain.out);
  std::string expected;
  int dropped = 0;
  for (std::string line; std::getline(lines, line);) {
    line = std::regex_replace(line, fontProgress, "");
    if (std::regex_match(line, progress)) {
      ++dropped;
      continue;
    }
    expected += line + "\n";
  }
  EXPECT_GT(dropped, 30);
  for (const char* kept : {"Failed to find texture nowhere", "Failed to parse mod ghost",
                           "Font nofont not found in assets/fonts/, using the default font",
                           "game line"})
    EXPECT_EQ(countLines(quiet.out, kept), countLines(plain.out, kept)) << kept;
  EXPECT_EQ(quiet.out, expected);
}
