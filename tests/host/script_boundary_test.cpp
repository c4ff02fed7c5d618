// The boundary with scripts: a game whose global table and nodes raise on
// every name they lack (the "strict" pattern) runs, with one line per real
// mistake under --debug; a module that does not load from an archive is an
// ordinary script error.
#include <gtest/gtest.h>

#include <sstream>

#include "support/game_run.h"

using namespace testsupport;

namespace {
// Strict globals and strict nodes, a body that lands on a body whose node has
// no onCollision, no init, no clearColor and no input callbacks. Two
// mistakes: an undeclared global read in onUpdate, and a failing
// onCollision.
const char* const STRICT_GAME =
    "config = { width = 64, height = 48 }\n"
    "local function strict(t)\n"
    "  return setmetatable(t, { __index = function(_, k) error('no field ' .. tostring(k), 2) end })\n"
    "end\n"
    "local ground = strict({ y = -20, body = strict({ type = 'static', shape = 'box', width = 60,"
    " height = 4 }) })\n"
    "local box = strict({ y = 10, body = strict({ shape = 'box', width = 8, height = 8 }),\n"
    "  onCollision = function(self, other) error('landing fails') end,\n"
    "  onUpdate = function(node) return speeed end })\n"
    "world = strict({ strict({ camera = strict({}) }),\n"
    "  strict({ physics = strict({ gravity = { 0, -400 } }), ground, box }),\n"
    "  strict({ text = 'hi', x = 1 }) })\n"
    "function update(dt) screenWidth = screenWidth end\n"
    "setmetatable(_G, {\n"
    "  __index = function(_, k) error(\"variable '\" .. tostring(k) .. \"' is not declared\", 2) end,\n"
    "  __newindex = function(_, k) error(\"assignment to undeclared '\" .. tostring(k) .. \"'\", 2) end,\n"
    "})\n";

int countLinesStarting(const std::string& log, const std::string& prefix) {
  std::istringstream lines(log);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) ++count;
  return count;
}
}  // namespace

TEST(ScriptBoundary, StrictGlobalsAndNodesRunWithOneLinePerMistake) {
  GameFolder game;
  game.writeMain(STRICT_GAME);
  for (const char* mode : {"--windowed", "--debug"}) {
    GameRun run = runGame(game, {mode, "--windowed", "--frames", "40", "--fixed-dt", "16"});
    EXPECT_EQ(run.exitStatus, 0) << mode << "\n" << run.out << run.err;
    EXPECT_EQ(run.err.find("PANIC"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Final quit"), std::string::npos) << run.out;
    if (std::string(mode) != "--debug") continue;
    EXPECT_EQ(countLinesStarting(run.out, "Lua error in onUpdate: "), 1) << run.out;
    EXPECT_NE(run.out.find("variable 'speeed' is not declared"), std::string::npos) << run.out;
    EXPECT_EQ(countLinesStarting(run.out, "Lua error in onCollision: "), 1) << run.out;
    EXPECT_EQ(countLinesStarting(run.out, "Lua error"), 2) << run.out;
  }
}

TEST(ScriptBoundary, AModuleThatDoesNotLoadFromAnArchiveIsAScriptError) {
  GameFolder game, out;
  game.writeMain(
      "config = { width = 32, height = 24 }\n"
      "world = {}\n"
      "print('required: ' .. select(2, pcall(require, 'broken')))\n");
  game.write("broken.lua", "return {\n");
  ASSERT_EQ(runTarnwick({"--package", game.path(), out.file("game.zip")}).exitStatus, 0);
  GameRun run = runTarnwick({"--windowed", "--frames", "1", out.file("game.zip")});
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("required: error loading module 'broken' from file './broken.lua':"),
            std::string::npos)
      << run.out;
}
