// The renderer's fatal paths: a pending GL error, an incomplete framebuffer or a
// uniform a batch lacks ends the process with status 1 after one log line.
#pragma once

namespace glcheck {
// If glGetError reports an error, logs "OpenGL error: <label>: <number>" and
// ends the process.
void check(const char* label);
// After a call that allocates storage: false when GL had no memory for it
// (the error is consumed), true when it succeeded; any other error is fatal
// as with check.
bool allocated(const char* label);
// Logs the formatted line and ends the process.
[[noreturn]] void fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));
}  // namespace glcheck
