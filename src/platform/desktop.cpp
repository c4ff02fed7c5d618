// The desktop's side of the platform: the frame loop runs here, the window
// closes after the run, shaders compile as written, files on disk are the save folder, errors are log lines.
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

std::string shaderSource(const std::string& source) { return source; }

void savesChanged() {}

void reportError(const char*, size_t) {}
}  // namespace platform
