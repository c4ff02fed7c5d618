// Game-relative paths: one spelling for every way a path can be written, and
// the refusal of paths that would leave the game.
#pragma once

#include <string>

namespace paths {
// `path` with empty and "." components dropped and ".." applied, components
// joined by single slashes ("assets/textures//./x.png" is
// "assets/textures/x.png"; "" and "." are ""). False for an absolute path, one
// that climbs above its start, or one holding a NUL or a backslash.
bool normalise(const std::string& path, std::string& normal);
// True for a single file name: no slash, not "." or "..", no NUL or backslash,
// not starting with "." (hidden files and the save folder's temporaries), at
// most 255 bytes.
bool plainName(const std::string& name);
}  // namespace paths
