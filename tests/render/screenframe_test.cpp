// The offscreen frame of a full-screen run and its scaled copy into the window.
#include <gtest/gtest.h>

#include "render/screenframe.h"
#include "support/gl_fixture.h"

using testsupport::RGBA;

namespace {
class ScreenFrameTest : public testsupport::GLTest {};
}  // namespace

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

  gr_presentScreenFrame(WIDTH, HEIGHT, fitFrame(160, 60, WIDTH, HEIGHT));
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
