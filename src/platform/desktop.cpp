// The desktop's side of the platform (Linux and Windows alike): the frame
// loop runs here, the window closes after the run, the context is desktop GL
// and shaders compile as written, files on disk are the save folder, errors
// are log lines.
#include "platform/platform.h"

#include <cstdlib>

namespace platform {
bool browser() { return false; }

void runFrames(std::function<bool()> frame, std::function<void()> finish) {
  while (frame()) {
  }
  finish();
}

bool keepWindowAfterRun() { return false; }

void ended(int) {}

void exitNow(int status) { exit(status); }

GraphicsContext graphicsContext() { return GraphicsContext::DesktopGL; }

std::string shaderSource(const std::string& source) { return source; }

void savesChanged() {}

void reportError(const char*, size_t) {}
}  // namespace platform
