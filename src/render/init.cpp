// Renderer start-up: GL entry points, the texture limit the loaders keep, the
// diagnostic program, the switch for joining draw calls; the clear colour.
#include "render/gl.h"

#include <cstdlib>

#include "assets/resources.h"
#include "core/log.h"
#include "render/graphics.h"

GLuint testProgramID = 0;

void gr_init() {
#ifdef TARNWICK_GL_LOADER
  glewExperimental = GL_TRUE;
  GLenum result = glewInit();
  // On an EGL context (SDL picks one where GLX is not to be had) there is no
  // GLX display; GLEW has loaded the GL entry points before it looks for one.
  if (result != GLEW_OK && result != GLEW_ERROR_NO_GLX_DISPLAY)
    DLOG(LogLevel::Error, "Error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(result)));
  // glewInit may leave GL_INVALID_ENUM behind on some contexts; it is not ours.
  glGetError();
#endif
  // The loaders refuse pictures this GL could not hold before decoding them.
  GLint maxTextureSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
  if (maxTextureSize > 0) resources::maxTextureSide = maxTextureSize;
  testProgramID = gr_createProgram("simple", "simple");
  if (getenv("TARNWICK_NO_DRAW_MERGING")) gr_setDrawMerging(false);
}

void gr_setClearColor(int r, int g, int b, int a) {
  glClearColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
               static_cast<float>(a));
}
