// Models through the real executable: .mod animations played by their node,
// textures on the lit shaders, and an untextured .mod that looks exactly like
// the OBJ it was converted from.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const RGBA BLACK = {0, 0, 0, 255};
const char* const SQUARE_OBJ =
    "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1/1 2/2/1 3/3/1 4/4/1\n";

// Runs the game for `frames` frames on a 400 × 200 black window and returns
// the last frame.
Picture shotAfter(const GameFolder& game, int frames) {
  GameRun run = runFrames(game, frames, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  return readPicture(game.file("shot.png"));
}

bool lit(const Picture& shot, int x, int y) { return !near(shot.at(x, y), BLACK, 10); }

void convert(const GameFolder& game, const std::string& obj, const std::string& mod,
             const std::string& animation) {
  game.write(mod, "");  // makes the folders the converter writes into
  std::vector<std::string> args = {"--convert-model", obj, mod};
  if (!animation.empty()) args.insert(args.end(), {"--animation", animation});
  GameRun run = runTarnwick(args, game.path());
  ASSERT_EQ(run.exitStatus, 0) << run.err;
}
}  // namespace

// A 40-pixel square slides from x = -80 to 80 over key frames 0 to 12. At 24
// frames a second and 16 ms a frame, frame 3 shows key frame 1.152 (x -64.6,
// window 135) and frame 30 key frame 11.52 (x 73.6, window 274). Without the
// field it stays at key frame 0 (window 120), as models always did.
TEST(ModelPictures, AConvertedAnimationPlaysAtTheNodesFramesPerSecond) {
  GameFolder game;
  game.write("square.obj", SQUARE_OBJ);
  game.write("slide.lua", "return { translation = { [0] = {-4, 0, 0}, [12] = {4, 0, 0} } }\n");
  convert(game, "square.obj", "assets/models/slide.mod", "slide.lua");
  auto scene = [](const std::string& fields) {
    return "config = {width = 400, height = 200}\n"
           "clearColor = {red = 0, green = 0, blue = 0}\n"
           "world = { camera = {}, { model = 'slide', scale = 20" + fields + " } }\n";
  };

  game.writeMain(scene(", framesPerSecond = 24"));
  Picture early = shotAfter(game, 3), late = shotAfter(game, 30);
  EXPECT_TRUE(lit(early, 135, 100) && !lit(early, 274, 100));
  EXPECT_TRUE(lit(late, 274, 100) && !lit(late, 135, 100));

  game.writeMain(scene(""));
  early = shotAfter(game, 3);
  late = shotAfter(game, 30);
  EXPECT_EQ(early.rgba, late.rgba);
  EXPECT_TRUE(lit(early, 101, 100) && lit(early, 139, 100) && !lit(early, 142, 100));
}

// A cube whose faces each show the whole 8 × 8 checker (red and white 4 × 4
// blocks), seen face on: both colours, lit like any face turned to the
// camera (86 % of the colour). The first stored row is sampled at v = 0, the
// face's lower edge.
TEST(ModelPictures, ACubeNamingACheckerTextureShowsBothColoursLit) {
  GameFolder game;
  game.write("assets/models/cube.obj",
             "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
             "vn 0 0 1\nvn 0 0 -1\nvn 1 0 0\nvn -1 0 0\nvn 0 1 0\nvn 0 -1 0\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1\nf 6/1/2 5/2/2 8/3/2 7/4/2\nf 2/1/3 6/2/3 7/3/3 3/4/3\n"
             "f 5/1/4 1/2/4 4/3/4 8/4/4\nf 4/1/5 3/2/5 7/3/5 8/4/5\nf 5/1/6 6/2/6 2/3/6 1/4/6\n");
  Picture checker = solidPicture(8, 8, {255, 255, 255, 255});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x < 4) == (y < 4)) {
        unsigned char* p = &checker.rgba[static_cast<size_t>(y * 8 + x) * 4];
        p[1] = p[2] = 0;
      }
  writePicture(game.file("assets/textures/checker.png"), checker);
  game.writeMain("config = {width = 400, height = 200}\n"
                 "clearColor = {red = 0, green = 0, blue = 0}\n"
                 "world = { camera = {}, { model = 'cube', scale = 50,"
                 " uniforms = { textureSampler = 'checker' } } }\n");
  Picture shot = shotAfter(game, 2);
  // The face spans window x 150 to 250 and rows 50 to 150 (top first).
  const RGBA RED = {220, 0, 0, 255}, WHITE = {220, 220, 220, 255};
  EXPECT_TRUE(near(shot.at(175, 125), RED, 3)) << shot.at(175, 125)[1];
  EXPECT_TRUE(near(shot.at(225, 75), RED, 3));
  EXPECT_TRUE(near(shot.at(225, 125), WHITE, 3)) << shot.at(225, 125)[0];
  EXPECT_TRUE(near(shot.at(175, 75), WHITE, 3));
  EXPECT_TRUE(near(shot.at(140, 100), BLACK));
}

// The demo's gem, tilted so that several faces catch the light: drawn from its
// OBJ file with the lit "pn" shaders, and from the .mod file converted from it
// with the textured "pnt" shaders and no texture named, the pictures are the
// same to the last bit.
TEST(ModelPictures, AnUntexturedModLooksExactlyLikeItsObj) {
  const std::string main =
      "config = {width = 200, height = 200}\n"
      "clearColor = {red = 0, green = 0, blue = 0}\n"
      "world = { camera = {}, { model = 'gem', scale = 70, rotationX = 30, rotationY = 40,"
      " uniforms = { color = {0.45, 0.8, 1, 1} } } }\n";
  GameFolder fromObj, fromMod;
  const std::string gem = std::string(TARNWICK_SOURCE_DIR) + "/examples/demo/tools/gem.obj";
  convert(fromMod, gem, "assets/models/gem.mod", "");
  fromObj.writeMain(main);
  fromMod.writeMain(main);
  std::string obj;
  FILE* source = fopen(gem.c_str(), "r");
  ASSERT_NE(source, nullptr);
  for (int c; (c = fgetc(source)) != EOF;) obj.push_back(static_cast<char>(c));
  fclose(source);
  fromObj.write("assets/models/gem.obj", obj);

  Picture a = shotAfter(fromObj, 2), b = shotAfter(fromMod, 2);
  ASSERT_EQ(a.width, 200);
  EXPECT_TRUE(a.rgba == b.rgba);
  // Something was drawn, in more than one shade.
  EXPECT_TRUE(lit(a, 100, 100));
  EXPECT_FALSE(near(a.at(100, 70), a.at(100, 150), 5));
}
