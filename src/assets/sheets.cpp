// Packing pictures onto 2048 × 2048 sheets: the greedy packer, the sheet
// builder that copies placed pictures and names their sprites, and the sprite
// sheet of a folder. Sprite lookup by name lives with the sprite quads.
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "assets/packing.h"
#include "core/log.h"

namespace resources {
namespace {
const float UV_PER_PIXEL = 0.00048828125f;  // 1 / 2048, exact for pixel positions

bool fits(const Image& image, const Rectangle& area) {
  return image.width <= area.width && image.height <= area.height;
}

bool liesOnSheet(const Image& image) {
  return image.x >= 0 && image.y >= 0 && image.width >= 0 && image.height >= 0 &&
         image.width <= SHEET_SIDE - image.x && image.height <= SHEET_SIDE - image.y &&
         (image.data || image.width == 0 || image.height == 0);
}

Sprite spriteOf(const Image& image, Sheet* sheet) {
  Sprite sprite;
  sprite.sheet = sheet;
  sprite.width = image.width;
  sprite.height = image.height;
  const int corners[4][2] = {{image.x, image.y},
                             {image.x + image.width, image.y},
                             {image.x + image.width, image.y + image.height},
                             {image.x, image.y + image.height}};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 2; ++k) sprite.uv[c][k] = static_cast<float>(corners[c][k]) * UV_PER_PIXEL;
  return sprite;
}
}  // namespace

Rectangle packingArea() {
  return Rectangle{PADDING, PADDING, SHEET_SIDE - PADDING, SHEET_SIDE - PADDING};
}

void sortTallestFirst(std::list<Image>& images) {
  images.sort([](const Image& a, const Image& b) { return a.height > b.height; });
}

void releaseImages(std::list<Image>& images) {
  for (Image& image : images) free(image.data);
  images.clear();
}

// Each placed picture splits its area into the strip below it (full width)
// and the strip to its right (as tall as the picture), the strip below filled
// first, depth first. The areas wait on a stack of their own rather than the
// call stack, so a folder of thousands of small pictures cannot overflow it;
// the placement is the same as recursing below, then right.
void placeImages(Rectangle area, std::list<Image>* images, std::deque<Image>* placedImages) {
  std::vector<Rectangle> pending{area};
  while (!pending.empty() && !images->empty()) {
    Rectangle space = pending.back();
    pending.pop_back();
    auto image = images->begin();
    while (image != images->end() && !fits(*image, space)) ++image;
    if (image == images->end()) continue;

    image->x = space.x;
    image->y = space.y;
    int w = image->width;
    int h = image->height;
    placedImages->push_back(*image);
    images->erase(image);

    pending.push_back({space.x + w + PADDING, space.y, space.width - w - PADDING, h});
    pending.push_back({space.x, space.y + h + PADDING, space.width, space.height - h - PADDING});
  }
}

Sheet* createSheet(std::map<std::string, Sprite>& named, std::deque<Image>& images,
                   size_t pixelSize) {
  DLOG(LogLevel::Info, "Copy images\n");
  size_t sheetRow = SHEET_SIDE * pixelSize;
  auto* data = static_cast<unsigned char*>(calloc(sheetRow * SHEET_SIDE, 1));
  if (!data) {
    DLOG(LogLevel::Error, "Not enough memory for a sheet\n");
    for (Image& image : images) free(image.data);
    return nullptr;
  }
  Sheet* sheet = new Sheet;
  sheet->width = SHEET_SIDE;
  sheet->height = SHEET_SIDE;
  sheet->data = data;
  sheets.push_back(sheet);

  for (Image& image : images) {
    // Only the packer places pictures, but a picture off the sheet would be
    // copied past its end.
    if (!liesOnSheet(image)) {
      DLOG(LogLevel::Warning, "Image %s does not lie on the sheet\n", image.alias.c_str());
      free(image.data);
      continue;
    }
    size_t imageRow = static_cast<size_t>(image.width) * pixelSize;
    unsigned char* to = data + static_cast<size_t>(image.y) * sheetRow + image.x * pixelSize;
    for (int r = 0; r < image.height && imageRow > 0; ++r)
      memcpy(to + r * sheetRow, image.data + r * imageRow, imageRow);
    named[image.alias] = spriteOf(image, sheet);
    free(image.data);
  }
  DLOG(LogLevel::Info, "Return sheet\n");
  return sheet;
}

namespace {
Sheet* packFolder(const char* folder, std::map<std::string, Sprite>& named) {
  std::list<Image> imagesInFolder = loadPNGs(folder);
  sortTallestFirst(imagesInFolder);
  std::deque<Image> placedImages;
  placeImages(packingArea(), &imagesInFolder, &placedImages);
  if (!imagesInFolder.empty()) {
    DLOG(LogLevel::Warning, "WARNING: Not all images fit on sheet");
    releaseImages(imagesInFolder);
  }
  return createSheet(named, placedImages, 4);
}
}  // namespace

Sheet* createSpriteSheet(const char* folder) { return packFolder(folder, sprites); }

Sheet* repackSpriteSheet(const char* folder, const std::string& changed) {
  Image check = loadPNG(changed.c_str());
  if (!check.data) return nullptr;
  free(check.data);
  std::map<std::string, Sprite> packed;
  Sheet* sheet = packFolder(folder, packed);
  if (!sheet) return nullptr;
  Sheet* previous = sprites.empty() ? nullptr : sprites.begin()->second.sheet;
  sprites = std::move(packed);
  if (previous) {
    free(previous->data);
    previous->data = nullptr;
  }
  return sheet;
}
}  // namespace resources
