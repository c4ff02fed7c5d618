// Whole frames drawn by the executable with draw calls joined and with one
// call per batch: the same log and the same picture, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "support/game_run.h"
#include "support/picture.h"

using testsupport::GameFolder;
using testsupport::GameRun;
using testsupport::Picture;

namespace {
// The frames of `game` in a screenshot, with joining on or off.
GameRun shoot(const std::string& game, const std::string& shot, bool joined, int frames) {
  if (!joined) setenv("TARNWICK_NO_DRAW_MERGING", "1", 1);
  GameRun run = testsupport::runTarnwick({"--windowed", "--frames", std::to_string(frames),
                                          "--fixed-dt", "16", "--screenshot", shot, game});
  unsetenv("TARNWICK_NO_DRAW_MERGING");
  return run;
}

// The joined picture, after checking that the single one is the same.
Picture expectTheSameFrames(const std::string& game, const std::string& shots, int frames) {
  GameRun joined = shoot(game, shots + "/joined.png", true, frames);
  GameRun single = shoot(game, shots + "/single.png", false, frames);
  EXPECT_EQ(joined.exitStatus, 0) << joined.out << joined.err;
  EXPECT_EQ(single.exitStatus, 0) << single.out << single.err;
  EXPECT_EQ(joined.out, single.out);
  Picture a = testsupport::readPicture(shots + "/joined.png");
  Picture b = testsupport::readPicture(shots + "/single.png");
  EXPECT_GT(a.width, 0);
  EXPECT_EQ(a.width, b.width);
  EXPECT_TRUE(a.rgba == b.rgba) << "the pictures differ";
  return a;
}

bool inked(const Picture& picture, int left, int top, int right, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      testsupport::RGBA c = picture.at(x, y);
      if (std::max({c[0], c[1], c[2]}) > 60) return true;
    }
  return false;
}

// Translucent, so that any change of drawing order would show.
Picture square(int side, testsupport::RGBA colour) {
  return testsupport::solidPicture(side, side, colour);
}
}  // namespace

TEST(MergedPictures, TheDemoIsTheSame) {
  GameFolder shots;
  expectTheSameFrames(std::string(TARNWICK_SOURCE_DIR) + "/examples/demo", shots.path(), 90);
}

TEST(MergedPictures, InterleavedTexturesTintsLayersTargetsModelsAndParticlesAreTheSame) {
  GameFolder game;
  testsupport::writePicture(game.file("assets/textures/a.png"), square(16, {200, 40, 40, 160}));
  testsupport::writePicture(game.file("assets/textures/b.png"), square(8, {40, 40, 220, 200}));
  testsupport::writePicture(game.file("assets/sprites/dot.png"), square(4, {250, 250, 250, 180}));
  game.writeMain(
      "config = { width = 160, height = 120 }\n"
      "renderTextureTargets = { glow = { width = 64, height = 64 } }\n"
      "function init() graphics.createRenderTargets() end\n"
      "local triangle = { 0,0,0, 30,0,0, 0,30,0 }\n"
      "world = { camera = {}, { camera = { layer = 'hud' } },\n"
      "  { camera = { layer = 'glow', target = 'glow' } } }\n"
      "local function add(node) world[#world + 1] = node end\n"
      "for i = 0, 15 do\n"
      "  add({ texture = i % 3 == 0 and 'b' or 'a', x = i * 8 - 60, y = (i % 4) * 6 - 20,\n"
      "        uniforms = i % 5 == 0 and { color = { 1, 0.5, 0.5, 0.8 } } or nil })\n"
      "end\n"
      "add({ texture = 'a', layer = 'hud', x = 40, y = 40 })\n"
      "add({ texture = 'a', layer = 'hud', x = 44, y = 36 })\n"
      "add({ texture = 'b', layer = 'glow', x = 5 })\n"
      "add({ texture = 'b', layer = 'glow', x = 9, y = 3 })\n"
      "add({ texture = 'glow', x = -40, y = 30 })\n"
      "add({ vertices = triangle, x = 10, y = 10, uniforms = { color = { 0, 1, 0, 1 } } })\n"
      "add({ vertices = triangle, x = 20, y = 15 })\n"
      "add({ vertices = triangle, x = 25, y = 5 })\n"
      "add({ x = -60, y = -40, particles = { frequency = 50, sprite = 'dot',\n"
      "  emit = function(_, slot)\n"
      "    return { x = (slot % 7) * 6, y = (slot % 5) * 6, lifeTime = 10, alpha = 0.7 }\n"
      "  end } })\n");
  expectTheSameFrames(game.path(), game.path(), 20);
}

// A camera with clearTarget = true clears its target before each node it draws,
// so only the last node's rectangle or text stays, joined or not. A window
// camera has nothing to clear and joins as before.
TEST(MergedPictures, CamerasThatClearTheirTargetKeepOnlyTheLastNodeJoinedOrNot) {
  GameFolder game;
  testsupport::writePicture(game.file("assets/textures/a.png"), square(16, {200, 40, 40, 255}));
  game.writeMain(
      "config = { width = 160, height = 120 }\n"
      "clearColor = { red = 0, green = 0, blue = 0 }\n"
      "renderTextureTargets = { pics = { width = 64, height = 64 },\n"
      "                         words = { width = 64, height = 64 } }\n"
      "function init() graphics.createRenderTargets() end\n"
      "local function view(layer)\n"
      "  return { camera = { layer = layer, target = layer, clearTarget = true, fit = 'both',\n"
      "                      width = 64, height = 64 } }\n"
      "end\n"
      "world = { view('pics'), view('words'), { camera = { clearTarget = true } },\n"
      "  { texture = 'a', layer = 'pics', x = -16, y = 16 },\n"
      "  { texture = 'a', layer = 'pics', x = 16, y = -16 },\n"
      "  { text = 'II', size = 24, layer = 'words', x = -28, y = -8 },\n"
      "  { text = 'II', size = 24, layer = 'words', x = 8, y = -8 },\n"
      "  { texture = 'pics', x = -40 }, { texture = 'words', x = 40 },\n"
      "  { texture = 'a', x = -8, y = 50 }, { texture = 'a', x = 8, y = 50 },\n"
      "}\n");
  Picture shot = expectTheSameFrames(game.path(), game.path(), 3);
  ASSERT_EQ(shot.width, 160);
  // The targets show upright, centred at window pixels (40, 60) and (120, 60).
  EXPECT_FALSE(inked(shot, 20, 40, 28, 48)) << "the first rectangle was cleared away";
  EXPECT_TRUE(inked(shot, 52, 72, 60, 80)) << "the last rectangle stays";
  EXPECT_FALSE(inked(shot, 92, 40, 116, 80)) << "the first text was cleared away";
  EXPECT_TRUE(inked(shot, 128, 40, 152, 80)) << "the last text stays";
  EXPECT_TRUE(inked(shot, 65, 2, 71, 14) && inked(shot, 89, 2, 95, 14))
      << "both rectangles in the window";
}
