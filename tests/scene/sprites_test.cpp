// Sprite lookup and sprite quads: the blockerSad stand-in, a quad's vertices,
// and a batch growing quad by quad.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>

#include "scene/spriteutils.h"
#include "support/capture.h"

namespace {
const glm::vec4 HALF_WHITE(1, 1, 1, 0.5f);

// A 32 × 16 sprite "card" with the texture coordinates (0, 0), (1, 0), (1, 1)
// and (0, 1) at its top-left, top-right, bottom-right and bottom-left corners.
class SpriteQuad : public ::testing::Test {
 protected:
  void SetUp() override {
    resources::sprites["card"] = {&sheet, 32, 16, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
  }
  void TearDown() override { resources::sprites.clear(); }

  static void expectVertex(const sprites::SpriteQuad& quad, int k, std::vector<float> expected) {
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_FLOAT_EQ(quad.vertices[k * 9 + static_cast<int>(i)], expected[i])
          << "vertex " << k << " float " << i;
  }

  resources::Sheet sheet;
};
}  // namespace

TEST_F(SpriteQuad, TwoTrianglesWithTheSpritesCornersAndTheColourOnEveryVertex) {
  sprites::SpriteQuad quad = sprites::createSprite("card", glm::mat4(1.0f), "", HALF_WHITE);
  // Top-left, bottom-right, top-right; top-left, bottom-left, bottom-right.
  expectVertex(quad, 0, {-16, 8, 0, 0, 0, 1, 1, 1, 0.5f});
  expectVertex(quad, 1, {16, -8, 0, 1, 1, 1, 1, 1, 0.5f});
  expectVertex(quad, 2, {16, 8, 0, 1, 0, 1, 1, 1, 0.5f});
  expectVertex(quad, 3, {-16, 8, 0, 0, 0, 1, 1, 1, 0.5f});
  expectVertex(quad, 4, {-16, -8, 0, 0, 1, 1, 1, 1, 0.5f});
  expectVertex(quad, 5, {16, -8, 0, 1, 1, 1, 1, 1, 0.5f});
  EXPECT_STREQ(quad.alias, "card");
  EXPECT_EQ(quad.resource.sheet, &sheet);
  // A name too long for the alias is cut there but found in full.
  std::string longName(300, 'n');
  resources::sprites[longName] = resources::sprites["card"];
  quad = sprites::createSprite(longName, glm::mat4(1.0f), "", HALF_WHITE);
  EXPECT_EQ(std::string(quad.alias), longName.substr(0, 127));
  EXPECT_EQ(quad.resource.width, 32);

  // The pivot's edge lands on the transformed origin; left by the width, so
  // also for a sprite wider than tall.
  glm::mat4 moved = glm::translate(glm::mat4(1.0f), glm::vec3(100, 50, 3));
  quad = sprites::createSprite("card", moved, "bottom", HALF_WHITE);
  expectVertex(quad, 0, {84, 66, 3});
  expectVertex(quad, 1, {116, 50, 3});
  quad = sprites::createSprite("card", moved, "left", HALF_WHITE);
  expectVertex(quad, 0, {100, 58, 3});
  expectVertex(quad, 1, {132, 42, 3});
}

TEST_F(SpriteQuad, ABatchKeepsEveryAppendedQuadInOrder) {
  Batch batch;
  batch.attributes = {{"in_position", {3, 0}}, {"in_uv", {2, 3}}, {"in_color", {4, 5}}};
  for (int q = 0; q < 9; ++q) {
    glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(q, 0, 0));
    sprites::appendSpriteToBatch(sprites::createSprite("card", placed, "", HALF_WHITE), &batch);
    EXPECT_EQ(batch.triangles, 2 * (q + 1));
  }
  for (int q = 0; q < 9; ++q) {
    EXPECT_FLOAT_EQ(batch.data[q * 54], q - 16.0f) << "quad " << q;  // first vertex x
    EXPECT_FLOAT_EQ(batch.data[q * 54 + 53], 0.5f) << "quad " << q;  // last vertex alpha
  }
  free(batch.data);
}

TEST_F(SpriteQuad, MissingSpritesGetBlockerSadAndWithoutItAnEmptySprite) {
  auto lookUp = [](const char* alias, resources::Sprite* found) {
    return testsupport::captureOutput([&] { *found = resources::getSprite(alias); });
  };
  resources::Sprite found;
  EXPECT_EQ(lookUp("nowhere", &found),
            "Couldn't find sprite \"nowhere\"\nCouldn't find sprite \"blockerSad\"\n");
  EXPECT_EQ(found.sheet, nullptr);
  EXPECT_EQ(found.width, 0);
  resources::sprites["blockerSad"] = resources::sprites["card"];
  EXPECT_EQ(lookUp(nullptr, &found), "Couldn't find sprite \"\"\n");
  EXPECT_EQ(found.width, 32);
}
