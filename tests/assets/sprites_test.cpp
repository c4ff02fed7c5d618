// Sprite lookup with its stand-in, and the texture coordinates of a quad.
#include <gtest/gtest.h>

#include <cstring>

#include "assets/resources.h"

namespace {
resources::Sprite spriteOfWidth(int width) {
  resources::Sprite sprite;
  sprite.width = width;
  return sprite;
}

std::string lookUp(const char* alias, resources::Sprite* found) {
  testing::internal::CaptureStdout();
  *found = resources::getSprite(alias);
  return testing::internal::GetCapturedStdout();
}
}  // namespace

TEST(SpriteLookup, MissingNamesGetBlockerSadAndAMissingBlockerSadEndsInAnEmptySprite) {
  resources::sprites["ship"] = spriteOfWidth(7);
  resources::Sprite found;
  EXPECT_EQ(lookUp("ship", &found), "");
  EXPECT_EQ(found.width, 7);

  EXPECT_EQ(lookUp("nowhere", &found),
            "Couldn't find sprite \"nowhere\"\nCouldn't find sprite \"blockerSad\"\n");
  EXPECT_EQ(found.sheet, nullptr);
  EXPECT_EQ(found.width, 0);
  EXPECT_EQ(lookUp(nullptr, &found), "Couldn't find sprite \"\"\nCouldn't find sprite \"blockerSad\"\n");

  resources::sprites["blockerSad"] = spriteOfWidth(3);
  EXPECT_EQ(lookUp("nowhere", &found), "Couldn't find sprite \"nowhere\"\n");
  EXPECT_EQ(found.width, 3);
  resources::sprites.clear();
}

TEST(SpriteUVs, SixVerticesInTriangleOrderAndNothingElseTouched) {
  resources::Sprite sprite;
  const float corners[4][2] = {{0.1f, 0.2f}, {0.3f, 0.2f}, {0.3f, 0.4f}, {0.1f, 0.4f}};
  memcpy(sprite.uv, corners, sizeof corners);
  float vertices[60];
  for (float& v : vertices) v = -7;
  resources::getUVs(sprite, vertices, 3, 9);

  const int order[6] = {0, 2, 1, 0, 3, 2};  // TL, BR, TR, TL, BL, BR
  for (int i = 0; i < 60; ++i) {
    int k = (i - 3) / 9, within = (i - 3) % 9;
    bool written = i >= 3 && k < 6 && within < 2;
    float expected = written ? corners[order[k]][within] : -7;
    EXPECT_FLOAT_EQ(vertices[i], expected) << i;
  }
}
