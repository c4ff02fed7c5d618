// Fuzzes the PNG decoder. A decoded image must be 8-bit RGBA within the
// texture side and the decoded-size cap, and every one of its bytes readable;
// a refused file must leave nothing allocated (the leak checker sees to that).
#include <cstdlib>

#include "assets/resources.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, ".png");
  resources::Image image = resources::loadPNG(path.c_str());
  if (!image.data) {
    FUZZ_CHECK(image.width == 0 && image.height == 0);
    return 0;
  }
  FUZZ_CHECK(image.width > 0 && image.height > 0);
  FUZZ_CHECK(image.width <= resources::maxTextureSide && image.height <= resources::maxTextureSide);
  size_t bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4;
  FUZZ_CHECK(bytes <= resources::MAX_IMAGE_BYTES);
  FUZZ_CHECK(image.alias.empty() && image.x == 0 && image.y == 0);
  fuzz::readAll(image.data, bytes);
  free(image.data);
  return 0;
}
