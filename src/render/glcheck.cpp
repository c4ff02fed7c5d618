// The fatal GL error path shared by the renderer.
#include "render/glcheck.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>

#include "host/log.h"

namespace glcheck {
void check(const char* label) {
  GLenum error = glGetError();
  if (error == GL_NO_ERROR) return;
  DLOG("OpenGL error: %s: %d\n", label, static_cast<int>(error));
  fflush(stdout);
  exit(1);
}
}  // namespace glcheck
