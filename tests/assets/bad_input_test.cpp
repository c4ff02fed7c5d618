// The fuzzers' regression inputs through the real executable: each is refused
// with one line while the game starts, runs and draws the rest of its scene.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const std::string REGRESSIONS = std::string(TARNWICK_FUZZ_DIR) + "/regressions/";

void copyInto(const GameFolder& game, const std::string& from, const std::string& to) {
  std::ifstream in(REGRESSIONS + from, std::ios::binary);
  ASSERT_TRUE(in) << from;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  game.write(to, bytes.str());
}
}  // namespace

TEST(BadInput, OversizedPicturesFontsAndTargetsAreRefusedAndTheSceneDrawn) {
  GameFolder game;
  copyInto(game, "png/wide-16385x1.png", "assets/textures/wide.png");
  copyInto(game, "png/huge-header.png", "assets/textures/huge.png");
  copyInto(game, "png/long-16384x1.png", "assets/textures/long.png");
  copyInto(game, "png/chunk-length-788M.png", "assets/textures/chunk.png");
  copyInto(game, "font/huge-glyphs.ttf", "assets/fonts/OLDENGL.ttf");
  copyInto(game, "mod/mod-keyframe-overflow.mod", "assets/models/overflow.mod");
  writePicture(game.file("assets/textures/good.png"), solidPicture(8, 8, {200, 40, 40, 255}));
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "clearColor = { red = 0, green = 0, blue = 1 }\n"
      "renderTextureTargets = { big = { width = 40000, height = 40000 },"
      " small = { width = 16, height = 16 }, huge = { width = 16384, height = 16384,"
      " internalFormat = 'GL_RG32F', format = 'GL_RG', type = 'GL_FLOAT' } }\n"
      "function init() graphics.createRenderTargets() end\n"
      "world = { camera = {}, { model = 'overflow', framesPerSecond = 24 },\n"
      "  { texture = 'good', width = 32, height = 32 } }\n"
      "function update(dt) end\n");

  GameRun run = runFrames(game, 2, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  const std::string limits = "at most 16384 pixels a side and 256 MiB decoded";
  for (const std::string& line :
       {"Image assets/textures//wide.png of 16385 x 1 pixels refused: " + limits,
        "Image assets/textures//huge.png of 262144 x 262144 pixels refused: " + limits,
        std::string("Failed to decode png assets/textures//chunk.png"),
        std::string("Texture long refused: its sheet of 16384 x 16384 pixels is over 16384 "
                    "pixels a side or 256 MiB"),
        std::string("Font OLDENGL: 62 glyphs larger than 192 pixels (4 x its size) refused"),
        std::string("Skipped a mod curve with key-frame values too large to interpolate"),
        std::string("Render target big of 40000 x 40000 pixels refused: GL allows at most "
                    "16384 a side"),
        std::string("Render target huge of 16384 x 16384 pixels refused: GL has no memory for "
                    "it")})
    EXPECT_EQ(countLines(run.out, line), 1) << line << "\n" << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"Create target small", "Target created"})) << run.out;
  EXPECT_EQ(run.out.find("Create target big"), std::string::npos);

  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 64);
  EXPECT_TRUE(near(shot.at(32, 24), {200, 40, 40, 255})) << "the good texture";
  EXPECT_TRUE(near(shot.at(2, 2), {0, 0, 255, 255})) << "the clear colour around it";
}
