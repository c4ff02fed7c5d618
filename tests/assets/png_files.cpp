// PNG writing through libpng's full interface, and file helpers.
#include "assets/png_files.h"

#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

void writePNG(const std::string& path, int width, int height, int colorType, int bitDepth,
              int interlace, const std::vector<unsigned char>& pixels) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               bitDepth, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color palette[2] = {{0, 0, 0}, {255, 255, 255}};
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, 2);
  png_write_info(png, info);
  size_t rowBytes = pixels.size() / static_cast<size_t>(height);
  std::vector<png_bytep> rows;
  for (int y = 0; y < height; ++y)
    rows.push_back(const_cast<png_bytep>(pixels.data()) + static_cast<size_t>(y) * rowBytes);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  fclose(file);
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int openFiles() {
  using std::filesystem::directory_iterator;
  return static_cast<int>(std::distance(directory_iterator("/proc/self/fd"), directory_iterator()));
}

}  // namespace testsupport
