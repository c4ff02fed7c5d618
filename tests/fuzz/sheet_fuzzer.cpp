// Fuzzes the sheet packer and the sheet builder. The input is a list of
// picture sizes, two big-endian 16-bit numbers each. Every placed picture lies
// on the sheet, no two overlap or come closer than the padding, nothing is
// lost or placed twice, and the sheet holds each picture's pixels under its
// sprite.
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <string>

#include "assets/packing.h"
#include "harness.h"

namespace {
const size_t SIZE_BYTES = 4;
const size_t MAX_PICTURES = 512;  // the overlap check is quadratic

int number(const uint8_t* bytes) { return bytes[0] << 8 | bytes[1]; }

// The byte every pixel of a picture holds: its index + 1 (mod 255, never 0).
unsigned char fill(const resources::Image& image) {
  return static_cast<unsigned char>(std::stoi(image.alias) % 255 + 1);
}

// Gives a placed picture its pixels. Only placed pictures get any, so memory
// stays within one sheet's worth.
void paint(resources::Image& image) {
  size_t bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4;
  image.data = static_cast<unsigned char*>(malloc(bytes ? bytes : 1));
  FUZZ_CHECK(image.data != nullptr);
  memset(image.data, fill(image), bytes);
}

bool apart(const resources::Image& a, const resources::Image& b) {
  using resources::PADDING;
  return a.x + a.width + PADDING <= b.x || b.x + b.width + PADDING <= a.x ||
         a.y + a.height + PADDING <= b.y || b.y + b.height + PADDING <= a.y;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::list<resources::Image> images;
  for (size_t at = 0; at + SIZE_BYTES <= size && images.size() < MAX_PICTURES; at += SIZE_BYTES) {
    // Up to a little past the sheet, so pictures that never fit are common.
    int width = number(data + at) % (resources::SHEET_SIDE + 64);
    int height = number(data + at + 2) % (resources::SHEET_SIDE + 64);
    resources::Image image;
    image.width = width;
    image.height = height;
    image.alias = std::to_string(images.size());
    images.push_back(image);
  }
  size_t count = images.size();
  resources::sortTallestFirst(images);
  std::deque<resources::Image> placed;
  resources::placeImages(resources::packingArea(), &images, &placed);
  FUZZ_CHECK(placed.size() + images.size() == count);

  for (size_t i = 0; i < placed.size(); ++i) {
    const resources::Image& image = placed[i];
    FUZZ_CHECK(image.x >= resources::PADDING && image.y >= resources::PADDING);
    FUZZ_CHECK(image.x + image.width <= resources::SHEET_SIDE &&
               image.y + image.height <= resources::SHEET_SIDE);
    if (image.width == 0 || image.height == 0) continue;
    for (size_t j = 0; j < i; ++j)
      if (placed[j].width > 0 && placed[j].height > 0) FUZZ_CHECK(apart(image, placed[j]));
  }
  resources::releaseImages(images);

  for (resources::Image& image : placed) paint(image);
  std::deque<resources::Image> toCopy = placed;
  std::map<std::string, resources::Sprite> sprites;
  resources::Sheet* sheet = resources::createSheet(sprites, toCopy, 4);
  FUZZ_CHECK(sheet && sprites.size() == placed.size());
  for (const resources::Image& image : placed) {
    const resources::Sprite& sprite = sprites.at(image.alias);
    FUZZ_CHECK(sprite.sheet == sheet && sprite.width == image.width &&
               sprite.height == image.height);
    if (image.width == 0 || image.height == 0) continue;
    for (int y : {image.y, image.y + image.height - 1})
      for (int x : {image.x, image.x + image.width - 1})
        FUZZ_CHECK(sheet->data[(static_cast<size_t>(y) * resources::SHEET_SIDE + x) * 4] ==
                   fill(image));
  }
  resources::clear();
  return 0;
}
