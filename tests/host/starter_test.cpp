// `tarnwick --new`: the starter game runs as written and shows its picture
// upright; a folder that holds anything is refused untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

TEST(Starter, TheNewGameRunsAndShowsItsBadgeUpright) {
  GameFolder parent;
  GameRun made = runTarnwick({"--new", "mygame"}, parent.path());
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  EXPECT_EQ(std::count(made.out.begin(), made.out.end(), '\n'), 1) << made.out;

  GameRun run = runTarnwick({"--windowed", "--frames", "3", "--screenshot", "s.png", "mygame"},
                            parent.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Call main lua init", "Starter game in a 640x360 window"}))
      << run.out;
  EXPECT_EQ(run.out.find("Lua error"), std::string::npos) << run.out;
  // A relative screenshot path is taken from the folder tarnwick was run in,
  // not from the game folder it enters.
  EXPECT_FALSE(std::filesystem::exists(parent.file("mygame/s.png")));
  Picture shot = readPicture(parent.file("s.png"));
  ASSERT_EQ(shot.width, 640);
  ASSERT_EQ(shot.height, 360);
  RGBA clear = {26, 31, 46, 255};
  EXPECT_TRUE(near(shot.at(5, 5), clear, 3));
  EXPECT_TRUE(near(shot.at(634, 354), clear, 3));
  // The 128 × 128 badge sits in the middle: orange above, teal below, the
  // white arrow through the centre pointing up.
  EXPECT_TRUE(near(shot.at(286, 156), {240, 150, 40, 255}, 6));
  EXPECT_TRUE(near(shot.at(286, 206), {30, 140, 140, 255}, 6));
  EXPECT_TRUE(near(shot.at(320, 140), {250, 245, 230, 255}, 6));
  EXPECT_TRUE(near(shot.at(290, 140), {240, 150, 40, 255}, 6));
}

TEST(Starter, AFolderThatHoldsAnythingIsRefused) {
  GameFolder game;
  game.write("notes.txt", "mine");
  GameRun run = runTarnwick({"--new", game.path()});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find(game.path()), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(game.file("main.lua")));

  GameRun onFile = runTarnwick({"--new", game.file("notes.txt")});
  EXPECT_EQ(onFile.exitStatus, 2);
  EXPECT_EQ(std::count(onFile.err.begin(), onFile.err.end(), '\n'), 1) << onFile.err;
}

TEST(Starter, AnEmptyFolderIsFilled) {
  GameFolder game;
  GameRun run = runTarnwick({"--new", game.path()});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(game.file("main.lua")));
  Picture badge = readPicture(game.file("assets/textures/badge.png"));
  EXPECT_EQ(badge.width, 128);
  EXPECT_EQ(badge.at(0, 0)[3], 0);  // transparent outside the ring
}
