// The example games under examples/ run a few frames in the real executable
// and draw what they are about, checked at probe pixels of their screenshots.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "audio/audio_fixture.h"
#include "audio/disk_audio.h"
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

TEST(Examples, PhysicsShowsTheTowerOnItsTableAndTheSeesaw) {
  GameFolder scratch;
  expectProbes(runExample("physics", scratch),
               {{5, 5, {26, 31, 51, 255}},        // background
                {335, 224, {217, 140, 51, 255}},  // a crate of the bottom row, resting
                {345, 124, {217, 76, 51, 255}},   // a crate of the top row
                {370, 240, {140, 102, 64, 255}},  // the table under them
                {220, 330, {178, 153, 102, 255}}, // the seesaw's plank on its pin
                {240, 352, {76, 89, 76, 255}}},   // the ground
               4);
}

// The cannon fires once; where the simulation has the ball and a crate in the
// last frame is where they are drawn.
TEST(Examples, PhysicsDrawsBodiesWhereTheSimulationPutsThem) {
  GameFolder game;
  std::ifstream source(std::string(TARNWICK_SOURCE_DIR) + "/examples/physics/main.lua");
  std::stringstream script;
  script << source.rdbuf()
         << "\nlocal last = 0\n"
            "world[#world + 1] = {onUpdate = function()\n"
            "  last = last + 1\n"
            "  if last == 3 then onKeyboardEvent(true, 32) end\n"
            "  if last == 40 then local ball, crate = arena[7][1], arena[6][1]\n"
            "    print(string.format('at %d %d %d %d', 240 + ball.x, 180 - ball.y,\n"
            "      240 + crate.x, 180 - crate.y)) end end}\n";
  game.writeMain(script.str());
  GameRun run = runFrames(game, 40, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  size_t at = run.out.find("at ");
  ASSERT_NE(at, std::string::npos) << run.out;
  std::istringstream numbers(run.out.substr(at + 3));
  int ballX, ballY, crateX, crateY;
  numbers >> ballX >> ballY >> crateX >> crateY;
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 480);
  EXPECT_GT(ballX, 100);  // it flew right from the cannon at 40
  EXPECT_TRUE(near(shot.at(ballX, ballY), {230, 230, 242, 255}, 4)) << ballX << "," << ballY;
  EXPECT_TRUE(near(shot.at(crateX, crateY), {217, 140, 51, 255}, 4)) << crateX << "," << crateY;
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

// The arcade game's sounds through the mixer, as SDL's disk driver writes
// them: the round's start sound plays at once. And eight sounds started in
// one frame (one tone at eight pitches, so each has a frequency of its own)
// are all there.
TEST(Examples, ArcadeSoundsOverlapThroughTheMixer) {
  GameFolder scratch;
  diskaudio::useDiskDriver(scratch.file("arcade.raw"));
  GameRun run = runTarnwick({"--windowed", "--frames", "20", std::string(TARNWICK_SOURCE_DIR) +
                                                                "/examples/arcade"});
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("Lua error"), std::string::npos) << run.out;
  EXPECT_GT(diskaudio::peak(diskaudio::read(scratch.file("arcade.raw")).left), 1000);

  // A 500 Hz tone at eight pitches, 0.5 to 4, sounds at 250 .. 2000 Hz. The
  // game makes each pitch's copy in init, waits half a second of real time,
  // then plays all eight in one frame, and ends 0.7 s later.
  GameFolder game;
  game.write("assets/audio/tone.wav", audiotest::sineWav(2, 500));
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "world = { camera = {} }\n"
      "local clock, played = 0, false\n"
      "function init()\n"
      "  for i = 1, 8 do audio.playSound('tone.wav', { volume = 0, pitch = i * 0.5 }) end\n"
      "  audio.stopAllSounds()\n"
      "end\n"
      "function update(dt)\n"
      "  clock = clock + dt\n"
      "  if clock > 0.5 and not played then\n"
      "    played = true\n"
      "    for i = 1, 8 do audio.playSound('tone.wav', { volume = 0.25, pitch = i * 0.5 }) end\n"
      "  end\n"
      "  if clock > 1.2 then app.quit() end\n"
      "end\n");
  diskaudio::useDiskDriver(scratch.file("eight.raw"));
  run = runGame(game, {"--windowed"});
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  diskaudio::Written written = diskaudio::read(scratch.file("eight.raw"));
  size_t start = diskaudio::firstSounding(written.left, 100);
  ASSERT_LT(start + 12288, written.left.size());
  // A window well inside the overlap, a mixing buffer after the start.
  // Each at a quarter of the tone's 8000.
  for (int i = 1; i <= 8; ++i) {
    double hertz = 250.0 * i;
    EXPECT_NEAR(diskaudio::toneAmplitude(written.left, start + 6144, 4096, hertz), 2000, 400)
        << hertz << " Hz";
  }
  // A tone none of them has stays far below.
  EXPECT_LT(diskaudio::toneAmplitude(written.left, start + 6144, 4096, 1125), 100);
}
