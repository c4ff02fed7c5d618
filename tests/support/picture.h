// Reading and writing RGBA PNG files in tests, and looking at their pixels.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace testsupport {

using RGBA = std::array<int, 4>;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;  // rows top first

  RGBA at(int x, int y) const;  // x from the left, y from the top
};

// An empty picture (0 × 0) when the file cannot be read.
Picture readPicture(const std::string& path);
// Writes an 8-bit RGBA PNG, rows top first, creating folders as needed.
void writePicture(const std::string& path, const Picture& picture);
// A picture filled with one colour.
Picture solidPicture(int width, int height, RGBA colour);
// True when every channel differs by at most `tolerance`.
bool near(const RGBA& a, const RGBA& b, int tolerance = 2);

}  // namespace testsupport
