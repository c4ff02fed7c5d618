// `tarnwick --new DIR`: a starter game that runs as it is. Writes main.lua and
// assets/textures/badge.png (a picture drawn here) into a new or empty folder;
// never touches a folder that already holds anything.
#pragma once

#include <string>
#include <vector>

namespace starter {
// The starter picture: `size` × `size` RGBA pixels, rows top first. An orange
// upper half and a teal lower half in a white ring, with a white arrow pointing
// up, so a game sees at once which way up it is drawn.
std::vector<unsigned char> badge(int size);
// Writes the starter game into `folder`, creating it if needed. Returns the
// process exit status: 0 when written, 2 when the folder is refused (not
// empty, or not a folder), 1 when a file cannot be written; every failure is
// one line on standard error.
int write(const std::string& folder);
}  // namespace starter
