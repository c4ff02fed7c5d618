// Where a scaled frame lands in the window, and window positions mapped back.
#include <gtest/gtest.h>

#include <string>

#include "core/framing.h"
#include "core/runstate.h"

namespace {
std::string text(const FramePlacement& p) {
  return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
         std::to_string(p.height);
}

std::string mapped(int x, int y) {
  int gameX = 0, gameY = 0;
  framing::toGame(x, y, &gameX, &gameY);
  return std::to_string(gameX) + "," + std::to_string(gameY);
}
}  // namespace

TEST(Framing, TheLargestCentredPlacementWithTheAspectKept) {
  EXPECT_EQ(text(fitFrame(320, 240, 1280, 720)), "160,0 960x720");
  EXPECT_EQ(text(fitFrame(960, 540, 1280, 720)), "0,0 1280x720");
  EXPECT_EQ(text(fitFrame(320, 240, 1280, 1024)), "0,32 1280x960");
  EXPECT_EQ(text(fitFrame(2000, 1000, 1000, 1000)), "0,250 1000x500");
  // The odd pixel left over goes to the bottom bar.
  EXPECT_EQ(text(fitFrame(3, 1, 10, 10)), "0,3 10x3");
  EXPECT_EQ(text(fitFrame(0, 240, 1280, 720)), "0,0 0x0");
}

TEST(Framing, WindowPositionsMapBackIntoTheGamesPixels) {
  designWidth = 320;
  designHeight = 240;
  framing::scaleInto(1280, 720);
  EXPECT_EQ(mapped(160, 0), "0,0");
  EXPECT_EQ(mapped(1119, 719), "319,239");
  EXPECT_EQ(mapped(460, 150), "100,50");
  EXPECT_EQ(mapped(0, 0), "-54,0");      // on the left bar
  EXPECT_EQ(mapped(1279, 0), "373,0");   // on the right bar
  float x = 0, y = 0;
  framing::toGameFraction(0.5f, 0.25f, &x, &y);
  EXPECT_FLOAT_EQ(x, 0.5f);
  EXPECT_FLOAT_EQ(y, 0.25f);

  framing::unscaled();
  EXPECT_EQ(mapped(460, 150), "460,150");
}
