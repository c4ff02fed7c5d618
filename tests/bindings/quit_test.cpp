// app.quit and log.DLOG through the real executable: the frame in progress
// finishes, the run ends once, and the shutdown follows.
#include <gtest/gtest.h>

#include "support/game_run.h"

using testsupport::countLines;
using testsupport::GameFolder;
using testsupport::linesInOrder;
using testsupport::runGame;

namespace {
// No --frames: the run must end through app.quit. A script that ran away would
// end itself with status 3 instead of hanging the test.
const std::vector<std::string> kUntilQuit = {"--windowed", "--fixed-dt", "16"};

const char* const kConfig =
    "config = { width = 320, height = 240 }\n"
    "world = {}\n"
    "n = 0\n";
}  // namespace

TEST(Quit, AGameEndsInTheFrameThatQuitsAndExitsNormally) {
  GameFolder game;
  game.writeMain(std::string(kConfig) +
                 "function update(dt)\n"
                 "  n = n + 1\n"
                 "  if n > 10 then os.exit(3) end\n"
                 "  log.DLOG(string.format('frame %d\\n', n))\n"
                 "  if n == 3 then app.quit() end\n"
                 "end\n");
  auto run = runGame(game, kUntilQuit);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"frame 1", "frame 2", "frame 3", "Exit", "SDLquit", "Final quit"}))
      << run.out;
  EXPECT_EQ(countLines(run.out, "frame 4"), 0) << run.out;
  EXPECT_EQ(countLines(run.out, "Exit"), 1) << run.out;
}

TEST(Quit, TwiceInOneFrameLogsTwiceAndEndsOnceAfterThatFrame) {
  GameFolder game;
  game.writeMain(std::string(kConfig) +
                 "world[1] = { onUpdate = function() log.DLOG(string.format('walk %d\\n', n)) end }\n"
                 "function update(dt)\n"
                 "  n = n + 1\n"
                 "  if n > 10 then os.exit(3) end\n"
                 "  if n == 2 then app.quit(); app.quit(); log.DLOG('after quit\\n') end\n"
                 "end\n");
  auto run = runGame(game, kUntilQuit);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(countLines(run.out, "Exit"), 2) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"walk 1", "Exit", "Exit", "after quit", "walk 2", "SDLquit", "Final quit"}))
      << run.out;
  EXPECT_EQ(countLines(run.out, "walk 3"), 0) << run.out;
  EXPECT_EQ(countLines(run.out, "SDLquit"), 1) << run.out;
}

TEST(Quit, FromInitTheLoopIsNeverEntered) {
  GameFolder game;
  game.writeMain(std::string(kConfig) +
                 "function init() app.quit() end\n"
                 "function update(dt) log.DLOG('frame\\n') end\n");
  auto run = runGame(game, kUntilQuit);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"Call main lua init", "Exit", "Start main loop"})) << run.out;
  EXPECT_NE(run.out.find("Start main loop\n"
                         "Watch not implemented on this platform\n"
                         "Watch not implemented on this platform\n"
                         "SDLquit\n"
                         "Final quit\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(countLines(run.out, "frame"), 0) << run.out;
}
