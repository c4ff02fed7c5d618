// Where a shader's source file is read from. A game's own
// assets/shaders/<version>/NAME.vs|fs wins; without one, the framework's copies
// are used (beside the executable, under the installed tree, built into the
// executable).
// Owns nothing else: reading and compiling the file is the program cache's job.
#pragma once

#include <string>

namespace shaderfiles {
// Size of the buffer the game-relative path is formatted into.
const size_t PATH_BUFFER = 128;

// The path to read shader `name` with `extension` ("vs" or "fs") from. A name
// whose game path does not fit the buffer is refused: logged, and an empty
// path returned. When no copy exists anywhere, the game path is returned so
// the caller's "cannot open" message names the file the game would provide.
std::string find(const std::string& name, const char* extension);
// Whether `path`, as find() gave it, is one of the framework's copies rather
// than a file of the game.
bool framework(const std::string& path);
}  // namespace shaderfiles
