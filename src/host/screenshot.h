// Writing the window's current picture to a PNG file.
#pragma once

#include <string>

namespace screenshot {
// Reads the window's back buffer (the frame drawn but not yet swapped) and
// writes it as an 8-bit RGBA PNG, top row first. Logs to stderr and returns
// false when the file cannot be written.
bool writeWindow(const std::string& path);
// Writes `pixels` (rows top first, 4 bytes a pixel) as an RGBA PNG.
bool writePNG(const std::string& path, int width, int height, const unsigned char* pixels);
}  // namespace screenshot
