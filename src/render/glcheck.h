// Labelled GL error checks: any pending GL error ends the process.
#pragma once

namespace glcheck {
// If glGetError reports an error, logs "OpenGL error: <label>: <number>" and
// ends the process with status 1.
void check(const char* label);
}  // namespace glcheck
