// The example games under examples/ run a few frames in the real executable
// and draw what they are about, checked at probe pixels of their screenshots.
#include <gtest/gtest.h>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
struct Probe {
  int x, y;
  RGBA colour;
};

// Runs examples/NAME for three fixed frames; the screenshot goes to `scratch`.
Picture runExample(const std::string& name, const GameFolder& scratch) {
  std::string shot = scratch.file(name + ".png");
  GameRun run = runTarnwick({"--windowed", "--frames", "3", "--fixed-dt", "16", "--screenshot",
                             shot, std::string(TARNWICK_SOURCE_DIR) + "/examples/" + name});
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("Lua error"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Failed to find"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Failed to parse mod"), std::string::npos) << run.out;
  return readPicture(shot);
}

void expectProbes(const Picture& shot, const std::vector<Probe>& probes, int tolerance) {
  ASSERT_EQ(shot.width, 480);
  ASSERT_EQ(shot.height, 360);
  for (const Probe& probe : probes) {
    RGBA seen = shot.at(probe.x, probe.y);
    EXPECT_TRUE(near(seen, probe.colour, tolerance))
        << "at " << probe.x << "," << probe.y << ": " << seen[0] << " " << seen[1] << " "
        << seen[2] << " " << seen[3];
  }
}
}  // namespace

TEST(Examples, ArcadeShowsPaddleAndAZeroScore) {
  GameFolder scratch;
  expectProbes(runExample("arcade", scratch),
               {{5, 5, {20, 23, 41, 255}},      // background
                {240, 330, {242, 217, 76, 255}},  // the paddle, bottom centre
                {21, 25, {255, 255, 255, 255}},   // the left stroke of the score's 0
                {26, 30, {20, 23, 41, 255}}},     // the hole of the 0
               4);
}

TEST(Examples, PostProcessShowsTheSceneThroughTheCustomShader) {
  GameFolder scratch;
  Picture shot = runExample("postprocess", scratch);
  expectProbes(shot,
               {{5, 5, {5, 7, 7, 255}},          // the darkened corner
                {240, 80, {64, 69, 40, 255}},     // the upper triangle, tinted
                {350, 170, {68, 120, 65, 255}}},  // the right one, tinted green
               10);
  // The tint: a blue triangle of the scene comes out green.
  RGBA left = shot.at(130, 200);
  EXPECT_GT(left[1], left[2]);
}

TEST(Examples, Lit3dShowsLitModelsUnderThePerspectiveCamera) {
  GameFolder scratch;
  expectProbes(runExample("lit3d", scratch),
               {{5, 5, {140, 178, 217, 255}},     // sky
                {240, 340, {77, 103, 60, 255}},   // floor slab, near the camera
                {160, 200, {193, 125, 68, 255}},  // the crate's lit front
                {330, 200, {86, 135, 233, 255}}}, // the pyramid
               6);
}

TEST(Examples, PlatformerShowsTheTiledMapThePlayerAndTheCoinsFromItsObjectLayer) {
  GameFolder scratch;
  expectProbes(runExample("platformer", scratch),
               {{5, 5, {115, 178, 242, 255}},     // sky
                {100, 310, {70, 170, 70, 255}},   // grass, the ground layer's top row
                {100, 340, {130, 85, 50, 255}},   // soil below it
                {200, 318, {50, 110, 200, 255}},  // the animated water
                {200, 340, {110, 110, 125, 255}}, // bricks under the water
                {56, 288, {74, 170, 87, 255}},    // a flower of the decor layer, at 90 %
                {296, 140, {250, 210, 40, 255}},  // a coin, placed from the object layer
                {24, 304, {235, 110, 40, 255}}},  // the player, at the map's start point
               3);
}
