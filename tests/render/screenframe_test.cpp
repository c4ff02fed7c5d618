// The offscreen frame of a full-screen run and its scaled copy into the window.
#include <gtest/gtest.h>

#include "render/screenframe.h"
#include "support/gl_fixture.h"

using testsupport::RGBA;

namespace {
std::string text(const FramePlacement& p) {
  return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
         std::to_string(p.height);
}

class ScreenFrameTest : public testsupport::GLTest {};
}  // namespace

TEST(FrameFit, TheLargestCentredPlacementWithTheAspectKept) {
  EXPECT_EQ(text(gr_fitFrame(320, 240, 1280, 720)), "160,0 960x720");
  EXPECT_EQ(text(gr_fitFrame(960, 540, 1280, 720)), "0,0 1280x720");
  EXPECT_EQ(text(gr_fitFrame(320, 240, 1280, 1024)), "0,32 1280x960");
  EXPECT_EQ(text(gr_fitFrame(2000, 1000, 1000, 1000)), "0,250 1000x500");
  // The odd pixel left over goes to the bottom bar.
  EXPECT_EQ(text(gr_fitFrame(3, 1, 10, 10)), "0,3 10x3");
  EXPECT_EQ(text(gr_fitFrame(0, 240, 1280, 720)), "0,0 0x0");
}

TEST_F(ScreenFrameTest, DrawingForTheWindowGoesOffscreenAndLandsScaledBetweenBars) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);

  gr_useScreenFrame(160, 60);
  ASSERT_NE(gr_screenFrameBuffer(), 0u);
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 160);
  EXPECT_EQ(viewport[3], 60);

  gr_presentScreenFrame(WIDTH, HEIGHT, gr_fitFrame(160, 60, WIDTH, HEIGHT));
  testsupport::Picture shot = windowPicture();
  const RGBA black = {0, 0, 0, 255}, green = {0, 255, 0, 255};
  for (int x : {0, 319}) {
    EXPECT_EQ(shot.at(x, 0), black);
    EXPECT_EQ(shot.at(x, 59), black);
    EXPECT_EQ(shot.at(x, 60), green);
    EXPECT_EQ(shot.at(x, 179), green);
    EXPECT_EQ(shot.at(x, 180), black);
    EXPECT_EQ(shot.at(x, 239), black);
  }

  gr_useScreenFrame(0, 0);
  EXPECT_EQ(gr_screenFrameBuffer(), 0u);
  glViewport(0, 0, WIDTH, HEIGHT);
}
