// In-process tests with a real GL context: a window on the test's X display,
// opened once per test program and set up with gr_init.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "support/picture.h"

namespace testsupport {

class GLTest : public ::testing::Test {
 public:
  static constexpr int WIDTH = 320;
  static constexpr int HEIGHT = 240;

 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  // The RGBA pixel at (x, y) of the bound read framebuffer, y from the bottom
  // as GL counts.
  static RGBA pixel(int x, int y);
  // The whole window's back buffer as a picture, top row first.
  static Picture windowPicture();
  // The test window, for tests of code that draws into the host's window.
  static SDL_Window* sdlWindow();
};

}  // namespace testsupport
