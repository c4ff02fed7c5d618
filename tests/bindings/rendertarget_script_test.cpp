// Render targets made by a game's init through graphics.createRenderTargets,
// drawn into by one camera and shown by another, in the real executable.
#include <gtest/gtest.h>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const RGBA RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255}, BACKGROUND = {0, 0, 0, 255};
}

TEST(ScriptRenderTargets, InitMakesATargetThatACameraFillsAndANodeShows) {
  GameFolder game;
  // 64 × 64, stored top row first: red above green.
  Picture card = solidPicture(64, 64, GREEN);
  for (size_t i = 0; i < 64 * 32; ++i) {
    card.rgba[i * 4] = 255;
    card.rgba[i * 4 + 1] = 0;
  }
  writePicture(game.file("assets/textures/card.png"), card);
  game.writeMain(
      "config = { width = 200, height = 100 }\n"
      "clearColor = { red = 0, green = 0, blue = 0 }\n"
      "renderTextureTargets = { glow = { width = 64, height = 32 } }\n"
      "function init() graphics.createRenderTargets() end\n"
      "world = {\n"
      "  { camera = { target = 'glow', layer = 'rt', fit = 'both', width = 64, height = 64 } },\n"
      "  { texture = 'card', layer = 'rt' },\n"
      "  { camera = {} },\n"
      "  { texture = 'glow' },\n"
      "}\n");
  GameRun run = runFrames(game, 2, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Call main lua init", "Create rendertargets", "Create target glow",
                                     "Target created"}))
      << run.out;

  // The target's camera sees the whole card squeezed into 64 × 32, its first
  // stored row at the bottom as any texture; the window shows the target as
  // that camera saw it: x 68 to 132, rows 34 to 66 (top first), red below.
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 200);
  auto expectAt = [&](int x, int y, RGBA colour) {
    EXPECT_TRUE(near(shot.at(x, y), colour, 3))
        << "at (" << x << ", " << y << "): " << shot.at(x, y)[0] << " " << shot.at(x, y)[1] << " "
        << shot.at(x, y)[2] << " " << shot.at(x, y)[3];
  };
  expectAt(100, 40, GREEN);
  expectAt(100, 60, RED);
  expectAt(72, 36, GREEN);
  expectAt(128, 64, RED);
  expectAt(64, 50, BACKGROUND);
  expectAt(100, 30, BACKGROUND);
}
