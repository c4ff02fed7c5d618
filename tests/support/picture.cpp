// PNG files for tests, through libpng's simplified interface.
#include "support/picture.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

RGBA Picture::at(int x, int y) const {
  size_t offset = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
  return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

Picture readPicture(const std::string& path) {
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  Picture picture;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = PNG_FORMAT_RGBA;
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    picture.rgba.clear();
    return picture;
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  return picture;
}

void writePicture(const std::string& path, const Picture& picture) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  png_image image;
  memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr))
    throw std::runtime_error("cannot write " + path);
}

Picture solidPicture(int width, int height, RGBA colour) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  for (size_t i = 0; i < picture.rgba.size(); ++i)
    picture.rgba[i] = static_cast<unsigned char>(colour[i % 4]);
  return picture;
}

bool near(const RGBA& a, const RGBA& b, int tolerance) {
  for (int i = 0; i < 4; ++i)
    if (std::abs(a[i] - b[i]) > tolerance) return false;
  return true;
}

}  // namespace testsupport
