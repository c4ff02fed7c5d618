// --watch and tile maps through the real executable: a map saved while the
// game runs is drawn from the next frames, and a broken save keeps the map
// that was running.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const int STEP_SECONDS = 90;

// One 32 × 32 cell showing tile `gid` of a red-then-green tileset.
std::string oneCellMap(const char* gid) {
  return std::string("<map orientation=\"orthogonal\" width=\"1\" height=\"1\" tilewidth=\"32\" "
                     "tileheight=\"32\"><tileset firstgid=\"1\" name=\"rg\" tilewidth=\"32\" "
                     "tileheight=\"32\" tilecount=\"2\" columns=\"2\"><image source=\"rg.png\"/>"
                     "</tileset><layer name=\"l\" width=\"1\" height=\"1\"><data encoding=\"csv\">") +
         gid + "</data></layer></map>";
}

void saveByRename(const GameFolder& game, const std::string& relative, const std::string& text) {
  game.write(relative + ".new", text);
  ASSERT_EQ(std::rename(game.file(relative + ".new").c_str(), game.file(relative).c_str()), 0);
}
}  // namespace

TEST(MapReload, ASavedMapIsDrawnAndABrokenSaveKeepsTheRunningOne) {
  GameFolder game;
  Picture tiles = solidPicture(64, 32, {255, 0, 0, 255});
  for (int y = 0; y < 32; ++y)
    for (int x = 32; x < 64; ++x) {
      unsigned char* pixel = &tiles.rgba[(static_cast<size_t>(y) * 64 + x) * 4];
      pixel[0] = 0;
      pixel[1] = 255;
    }
  writePicture(game.file("assets/maps/rg.png"), tiles);
  game.write("assets/maps/one.tmx", oneCellMap("1"));
  game.writeMain("config = { width = 32, height = 32 }\n"
                 "world = { camera = {}, { tilemap = 'one' } }\n"
                 "local frames = 0\n"
                 "function update()\n"
                 "  frames = frames + 1\n"
                 "  if frames == 3 then print('running') end\n"
                 "  local stop = io.open('stop', 'r')\n"
                 "  if stop or frames > 100000 then app.quit() end\n"
                 "end\n");
  RunningGame run(game, {"--windowed", "--watch", "--frames", "1000000", "--screenshot",
                         game.file("shot.png")});
  ASSERT_TRUE(run.waitForLines("running", 1, STEP_SECONDS)) << run.log();
  saveByRename(game, "assets/maps/one.tmx", oneCellMap("2"));
  ASSERT_TRUE(run.waitForLines("Reloaded map one", 1, STEP_SECONDS)) << run.log();
  saveByRename(game, "assets/maps/one.tmx", oneCellMap("7"));
  ASSERT_TRUE(run.waitForLines("Failed to reload map one", 1, STEP_SECONDS)) << run.log();
  game.write("stop", "");

  GameRun ended = run.finish(STEP_SECONDS);
  ASSERT_EQ(ended.exitStatus, 0) << ended.out << ended.err;
  EXPECT_EQ(countLines(ended.out, "Failed to reload map one: tile id 7 is out of range (layer \"l\" "
                                  "cell 0,0)"),
            1)
      << ended.out;
  Picture shot = readPicture(game.file("shot.png"));
  EXPECT_TRUE(near(shot.at(16, 16), {0, 255, 0, 255})) << "the saved map, still drawn";
}
