// The texture pass: vertex data in-process, and pictures through the real
// executable with known textures, windows and cameras.
#include <gtest/gtest.h>

#include <glm/glm.hpp>

#include "scene/texture_pass.h"
#include "scene/transforms.h"
#include "support/game_run.h"
#include "support/lua_state.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const RGBA RED = {255, 0, 0, 255}, GREEN = {0, 255, 0, 255}, BLUE = {0, 0, 255, 255},
           WHITE = {255, 255, 255, 255}, BACKGROUND = {0, 0, 0, 255};

// 64 × 64, stored top row first: red and green on top, blue and white below.
Picture quadrants() {
  Picture picture = solidPicture(64, 64, WHITE);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      RGBA c = y < 32 ? (x < 32 ? RED : GREEN) : (x < 32 ? BLUE : WHITE);
      for (int i = 0; i < 4; ++i)
        picture.rgba[(static_cast<size_t>(y) * 64 + static_cast<size_t>(x)) * 4 + i] =
            static_cast<unsigned char>(c[i]);
    }
  return picture;
}

// A game on a 400 × 200 window with a black background, the quadrant card as
// texture "card", a white texture "white", and `scene` as the rest of main.lua.
Picture runScene(const std::string& scene, std::string* log = nullptr) {
  GameFolder game;
  writePicture(game.file("assets/textures/card.png"), quadrants());
  writePicture(game.file("assets/textures/white.png"), solidPicture(16, 16, WHITE));
  game.writeMain("config = {width = 400, height = 200}\n"
                 "clearColor = {red = 0, green = 0, blue = 0}\n" +
                 scene);
  GameRun run = runFrames(game, 2, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  if (log) *log = run.out;
  return readPicture(game.file("shot.png"));
}

void expectColour(const Picture& picture, int x, int y, RGBA colour) {
  ASSERT_GT(picture.width, x);
  EXPECT_TRUE(near(picture.at(x, y), colour, 3))
      << "at (" << x << ", " << y << "): " << picture.at(x, y)[0] << " " << picture.at(x, y)[1]
      << " " << picture.at(x, y)[2] << " " << picture.at(x, y)[3];
}

// The 30 vertex floats (position and uv, 5 a vertex) of the node built by
// `node` (a table constructor) on a 64 × 32 texture.
std::vector<float> rectangleOf(const std::string& node) {
  LuaState lua;
  lua.run("node = " + node);
  lua.pushGlobal("node");
  transforms::createTransform(lua, glm::mat4(1.0f));
  std::vector<float> vertices(30);
  textures::setPositions(vertices.data(), 64, 32, 0, 5, lua);
  textures::setUVs(vertices.data(), 64, 32, 3, 5, lua);
  lua_pop(lua, 1);
  EXPECT_EQ(lua_gettop(lua), 0);
  return vertices;
}
}  // namespace

TEST(TexturePassVertices, ARectangleCentredOnTheNodeSamplingTheWholeTexture) {
  std::vector<float> vertices = rectangleOf("{ x = 100 }");
  const float expected[6][5] = {{68, -16, 0, 0, 0},  {132, 16, 0, 1, 1},  {68, 16, 0, 0, 1},
                                {68, -16, 0, 0, 0},  {132, -16, 0, 1, 0}, {132, 16, 0, 1, 1}};
  for (int k = 0; k < 6; ++k)
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(vertices[k * 5 + i], expected[k][i]) << k << "," << i;
}

TEST(TexturePassVertices, WidthHeightAndOffsetSelectPartOfTheTexture) {
  std::vector<float> vertices = rectangleOf("{ width = 16, height = 16, offsetX = 32 }");
  EXPECT_FLOAT_EQ(vertices[0], -8);   // lower-left x
  EXPECT_FLOAT_EQ(vertices[6], 8);    // upper-right y
  EXPECT_FLOAT_EQ(vertices[3], 0.5f);   // uMin
  EXPECT_FLOAT_EQ(vertices[4], 0.0f);   // vMin
  EXPECT_FLOAT_EQ(vertices[8], 0.75f);  // uMax
  EXPECT_FLOAT_EQ(vertices[9], 0.5f);   // vMax
}

// offsetY is measured against the texture's height, offsetX against its width.
TEST(TexturePassVertices, OffsetYOnANonSquareTextureCountsInRows) {
  std::vector<float> vertices = rectangleOf("{ width = 16, height = 8, offsetX = 16, offsetY = 8 }");
  EXPECT_FLOAT_EQ(vertices[3], 0.25f);  // uMin = 16 / 64
  EXPECT_FLOAT_EQ(vertices[4], 0.25f);  // vMin = 8 / 32
  EXPECT_FLOAT_EQ(vertices[8], 0.5f);   // uMax
  EXPECT_FLOAT_EQ(vertices[9], 0.5f);   // vMax = 8 / 32 + 0.25
}

TEST(TexturePass, TheCardLandsWhereTheCameraPutsItWithItsTopRowAtTheBottomEdge) {
  Picture shot = runScene("world = { camera = {}, { texture = 'card', x = 100 } }\n");
  // Quad from window x 268 to 332 and rows 68 to 132 (top first). The first
  // stored row is sampled at the quad's lower edge.
  expectColour(shot, 284, 84, BLUE);
  expectColour(shot, 316, 84, WHITE);
  expectColour(shot, 284, 116, RED);
  expectColour(shot, 316, 116, GREEN);
  expectColour(shot, 266, 100, BACKGROUND);
  expectColour(shot, 334, 100, BACKGROUND);
  expectColour(shot, 300, 66, BACKGROUND);
  expectColour(shot, 300, 134, BACKGROUND);
}

TEST(TexturePass, PartOfTheTextureWithWidthHeightAndOffset) {
  Picture shot = runScene(
      "world = { camera = {}, { texture = 'card', x = 100, width = 16, height = 16,"
      " offsetX = 32 } }\n");
  expectColour(shot, 300, 100, GREEN);
  expectColour(shot, 294, 94, GREEN);
  expectColour(shot, 306, 106, GREEN);
  expectColour(shot, 289, 100, BACKGROUND);
  expectColour(shot, 311, 100, BACKGROUND);
}

// The node's world matrix is brought up to date before the texture handler
// reads it: each frame's rectangle is where that frame's update put it.
TEST(TexturePass, ANodeMovedByUpdateIsDrawnWhereItIsThisFrame) {
  Picture shot = runScene(
      "world = { camera = {}, { texture = 'white', x = -150 } }\n"
      "function update() world[1].x = world[1].x + 100 end\n");
  // Frame 1 moves it to x = -50, frame 2 to x = 50: window x 250.
  expectColour(shot, 250, 100, WHITE);
  expectColour(shot, 150, 100, BACKGROUND);
}

TEST(TexturePass, EveryCameraDrawsItsOwnLayer) {
  Picture shot = runScene(
      "world = { camera = {},\n"
      "  { texture = 'white', x = 100 },\n"
      "  { camera = { x = 100 } },\n"
      "  { camera = { x = -100, layer = 'ui' } },\n"
      "  { texture = 'white', layer = 'ui', y = 50 },\n"
      "}\n");
  // Seen by the plain camera at window x 300 and by the second plain camera,
  // centred on x = 100, in the middle.
  expectColour(shot, 300, 100, WHITE);
  expectColour(shot, 200, 100, WHITE);
  // The "ui" node only through the "ui" camera, centred on x = -100.
  expectColour(shot, 300, 50, WHITE);
  expectColour(shot, 200, 50, BACKGROUND);
  expectColour(shot, 100, 100, BACKGROUND);
}

TEST(TexturePass, NodeUniformsTintButCannotReplaceThePassesOwn) {
  Picture shot = runScene(
      "world = { camera = {},\n"
      "  { texture = 'white', x = -100, uniforms = { color = {1, 0, 0, 1} } },\n"
      "  { texture = 'white', x = 100, uniforms = { projection = {0,0,0,0, 0,0,0,0,"
      " 0,0,0,0, 0,0,0,0}, width = 1 } },\n"
      "}\n");
  expectColour(shot, 100, 100, RED);
  expectColour(shot, 300, 100, WHITE);
}

TEST(TexturePass, AMissingTextureIsLoggedAndSkipped) {
  std::string log;
  Picture shot = runScene(
      "world = { camera = {}, { texture = 'nowhere' }, { texture = 'white', x = 100 } }\n", &log);
  EXPECT_EQ(countLines(log, "Failed to find texture nowhere"), 2) << log;
  expectColour(shot, 300, 100, WHITE);
}

TEST(TexturePass, WithoutACameraNothingIsDrawn) {
  std::string log;
  Picture shot = runScene("world = { { texture = 'white' }, { texture = 'nowhere' } }\n", &log);
  expectColour(shot, 200, 100, BACKGROUND);
  EXPECT_EQ(log.find("Failed to find texture"), std::string::npos);
}
