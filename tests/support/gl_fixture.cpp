// The shared window and context of in-process GL tests.
#include "support/gl_fixture.h"

#include <GL/glew.h>

#include <cstring>

#include "render/graphics.h"

namespace testsupport {
namespace {
SDL_Window* testWindow = nullptr;
SDL_GLContext context = nullptr;
}  // namespace

// The window the host would open (double-buffered, 24-bit colour and depth),
// without the host: renderer tests link only the renderer.
void GLTest::SetUpTestSuite() {
  if (testWindow) return;
  SDL_Init(SDL_INIT_VIDEO);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  testWindow = SDL_CreateWindow("Tarnwick", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                WIDTH, HEIGHT, SDL_WINDOW_OPENGL);
  ASSERT_NE(testWindow, nullptr) << SDL_GetError();
  context = SDL_GL_CreateContext(testWindow);
  ASSERT_NE(context, nullptr) << SDL_GetError();
  gr_init();
  glViewport(0, 0, WIDTH, HEIGHT);
}

void GLTest::TearDownTestSuite() {
  if (!testWindow) return;
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(testWindow);
  SDL_Quit();
  context = nullptr;
  testWindow = nullptr;
  gr_forgetCurrentProgram();
}

SDL_Window* GLTest::sdlWindow() { return testWindow; }

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
