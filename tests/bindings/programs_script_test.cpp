// A game that keeps a snapshot of the program cache and puts it back: the
// passes then build their programs again, in the real executable.
#include <gtest/gtest.h>

#include <sstream>

#include "support/game_run.h"

using namespace testsupport;

namespace {
// Log lines saying that a shader whose path ends in `file` was compiled.
int compiled(const std::string& log, const std::string& file) {
  std::istringstream lines(log);
  int count = 0;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("Compiling shader ", 0) == 0 && line.size() >= file.size() &&
        line.compare(line.size() - file.size(), file.size(), file) == 0)
      ++count;
  return count;
}
}  // namespace

TEST(ScriptProgramCache, AnEmptySnapshotPutBackMakesThePassesCompileAgain) {
  GameFolder game;
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "function init() empty = graphics.gr_programs end\n"
      "frame = 0\n"
      "function update() frame = frame + 1; if frame == 3 then graphics.gr_programs = empty end end\n"
      "world = { camera = {}, { vertices = {0,0,0, 10,0,0, 0,10,0} } }\n");
  GameRun run = runFrames(game, 4);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(compiled(run.out, "/gl210/p.vs"), 2) << run.out;
  EXPECT_EQ(compiled(run.out, "/gl210/p.fs"), 2) << run.out;
}
