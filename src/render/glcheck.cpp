// The fatal GL error path shared by the renderer.
#include "render/glcheck.h"

#include "render/gl.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/log.h"
#include "platform/platform.h"
#include "render/glcapabilities.h"

namespace glcheck {
void fatal(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
  vsnprintf(text.data(), text.size(), format, again);
  va_end(again);
  DLOG(LogLevel::Error, "%s", text.data());
  fflush(stdout);
  platform::exitNow(1);
}

bool allocated(const char* label) {
  GLenum error = glGetError();
  if (error == GL_OUT_OF_MEMORY) return false;
  if (error != GL_NO_ERROR) fatal("OpenGL error: %s: %d\n", label, static_cast<int>(error));
  return true;
}

void check(const char* label) {
  // In a browser every glGetError waits for the GPU process to finish all that
  // was sent: checking each call costs several times the frame. WebGL reports
  // its errors on the console itself.
  static const bool cheapChecks = glcapabilities::current().errorChecksCheap;
  if (!cheapChecks) return;
  GLenum error = glGetError();
  if (error != GL_NO_ERROR) fatal("OpenGL error: %s: %d\n", label, static_cast<int>(error));
}
}  // namespace glcheck
