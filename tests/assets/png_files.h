// PNG files of any kind for the asset tests, written with libpng's full
// interface, and a count of the process's open files.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Writes a width × height PNG of the given libpng colour type, bit depth and
// interlace method; `pixels` are the rows top first, packed as the type needs.
// A palette file gets a two-entry palette (black, white).
void writePNG(const std::string& path, int width, int height, int colorType, int bitDepth,
              int interlace, const std::vector<unsigned char>& pixels);

// Writes `bytes` as the whole file.
void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readBytes(const std::string& path);

// Open file descriptors of this process, to see that loaders close theirs.
int openFiles();

}  // namespace testsupport
