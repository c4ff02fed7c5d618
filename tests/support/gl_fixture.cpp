// The shared window and context of in-process GL tests.
#include "support/gl_fixture.h"

#include <GL/glew.h>

#include <cstring>

#include "host/sdlutils.h"
#include "render/graphics.h"

namespace testsupport {

void GLTest::SetUpTestSuite() {
  if (window) return;
  sdlutils::windowed = true;
  SDLstart(WIDTH, HEIGHT);
  gr_init();
  glViewport(0, 0, WIDTH, HEIGHT);
}

void GLTest::TearDownTestSuite() {
  if (!window) return;
  SDLquit();
  currentProgram = static_cast<GLuint>(-1);
}

RGBA GLTest::pixel(int x, int y) {
  unsigned char value[4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, value);
  return {value[0], value[1], value[2], value[3]};
}

Picture GLTest::windowPicture() {
  Picture picture;
  picture.width = WIDTH;
  picture.height = HEIGHT;
  std::vector<unsigned char> bottomUp(static_cast<size_t>(WIDTH) * HEIGHT * 4);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  picture.rgba.resize(bottomUp.size());
  size_t row = static_cast<size_t>(WIDTH) * 4;
  for (int y = 0; y < HEIGHT; ++y)
    memcpy(&picture.rgba[static_cast<size_t>(y) * row],
           &bottomUp[static_cast<size_t>(HEIGHT - 1 - y) * row], row);
  return picture;
}

}  // namespace testsupport
