// Sprite quads: positions, texture coordinates and colours of one quad, and a
// batch growing quad by quad.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>

#include "passes/spriteutils.h"

namespace {
const glm::vec4 HALF_WHITE(1, 1, 1, 0.5f);

// A 32 × 16 sprite "card" whose corners have the texture coordinates
// (0, 0), (1, 0), (1, 1), (0, 1): top-left, top-right, bottom-right, bottom-left.
class SpriteQuad : public ::testing::Test {
 protected:
  void SetUp() override {
    resources::Sprite card;
    card.sheet = &sheet;
    card.width = 32;
    card.height = 16;
    const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    memcpy(card.uv, uv, sizeof uv);
    resources::sprites["card"] = card;
  }
  void TearDown() override { resources::sprites.clear(); }

  static void expectPositions(const sprites::Sprite& quad, const float (*expected)[3]) {
    for (int k = 0; k < 6; ++k)
      for (int i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(quad.vertices[k * 9 + i], expected[k][i]) << "vertex " << k;
  }

  resources::Sheet sheet;
};
}  // namespace

TEST_F(SpriteQuad, CentredQuadWithTheSpritesCornersAndTheColourOnEveryVertex) {
  sprites::Sprite quad = sprites::createSprite("card", glm::mat4(1.0f), "", HALF_WHITE);
  const float positions[6][3] = {{-16, 8, 0},  {16, -8, 0},  {16, 8, 0},
                                 {-16, 8, 0},  {-16, -8, 0}, {16, -8, 0}};
  expectPositions(quad, positions);
  const float uvs[6][2] = {{0, 0}, {1, 1}, {1, 0}, {0, 0}, {0, 1}, {1, 1}};
  for (int k = 0; k < 6; ++k) {
    EXPECT_FLOAT_EQ(quad.vertices[k * 9 + 3], uvs[k][0]);
    EXPECT_FLOAT_EQ(quad.vertices[k * 9 + 4], uvs[k][1]);
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(quad.vertices[k * 9 + 5 + c], HALF_WHITE[c]);
  }
  EXPECT_STREQ(quad.alias, "card");
  EXPECT_EQ(quad.resource.sheet, &sheet);
  EXPECT_EQ(quad.vs, "ptc");
}

TEST_F(SpriteQuad, PivotsPutTheNamedEdgeOnTheTransformedOrigin) {
  glm::mat4 moved = glm::translate(glm::mat4(1.0f), glm::vec3(100, 50, 3));
  sprites::Sprite bottom = sprites::createSprite("card", moved, "bottom", HALF_WHITE);
  const float fromBottom[6][3] = {{84, 66, 3}, {116, 50, 3}, {116, 66, 3},
                                  {84, 66, 3}, {84, 50, 3},  {116, 50, 3}};
  expectPositions(bottom, fromBottom);
  // Left and right move by the width, so the edge lands on the origin even for
  // a sprite wider than tall.
  sprites::Sprite left = sprites::createSprite("card", moved, "left", HALF_WHITE);
  const float fromLeft[6][3] = {{100, 58, 3}, {132, 42, 3}, {132, 58, 3},
                                {100, 58, 3}, {100, 42, 3}, {132, 42, 3}};
  expectPositions(left, fromLeft);
}

TEST_F(SpriteQuad, ABatchKeepsEveryAppendedQuadInOrder) {
  Batch batch;
  batch.attributes["in_position"] = {3, 0};
  batch.attributes["in_uv"] = {2, 3};
  batch.attributes["in_color"] = {4, 5};
  for (int q = 0; q < 9; ++q) {
    glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(q, 0, 0));
    sprites::appendSpriteToBatch(sprites::createSprite("card", placed, "", HALF_WHITE), &batch);
    EXPECT_EQ(batch.triangles, 2 * (q + 1));
  }
  for (int q = 0; q < 9; ++q) {
    EXPECT_FLOAT_EQ(batch.data[q * 54], q - 16.0f) << "quad " << q;      // first vertex x
    EXPECT_FLOAT_EQ(batch.data[q * 54 + 53], 0.5f) << "quad " << q;      // last vertex alpha
  }
  free(batch.data);
}
