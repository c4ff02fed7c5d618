// Tileset sheets. A tileset image is used as it is; an image collection is
// packed on shelves, tallest first, so that it too draws with one texture.
#include "maps/sheets.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "assets/resources.h"
#include "maps/build.h"

namespace maps {
namespace {
// Decoded pixels, freed on every path.
struct Picture {
  resources::Image image;
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  Picture(Picture&& other) noexcept : image(other.image) { other.image.data = nullptr; }
  Picture& operator=(Picture&& other) noexcept {
    std::swap(image, other.image);  // `other` frees what this held
    return *this;
  }
  ~Picture() { free(image.data); }
};

void decode(const std::string& path, const std::string& tilesetName, Picture& picture) {
  FILE* file = resources::openFile(path.c_str(), "rb");
  if (!file) fail("tileset \"" + tilesetName + "\": image " + path + " is missing");
  fclose(file);
  picture.image = resources::loadPNG(path.c_str());
  if (!picture.image.data)
    fail("tileset \"" + tilesetName + "\": image " + path + " does not decode as RGBA PNG");
}

void tilesFromImage(Tileset& tileset) {
  Picture picture;
  decode(tileset.image, tileset.name, picture);
  const resources::Image& image = picture.image;
  tileset.rects.resize(tileset.tileCount);
  for (uint32_t id = 0; id < tileset.tileCount; ++id) {
    Rect& rect = tileset.rects[id];
    int column = static_cast<int>(id % static_cast<uint32_t>(tileset.columns));
    int row = static_cast<int>(id / static_cast<uint32_t>(tileset.columns));
    rect.x = tileset.margin + column * (tileset.tileWidth + tileset.spacing);
    rect.y = tileset.margin + row * (tileset.tileHeight + tileset.spacing);
    rect.width = tileset.tileWidth;
    rect.height = tileset.tileHeight;
    if (rect.x + rect.width > image.width || rect.y + rect.height > image.height)
      fail("tileset \"" + tileset.name + "\": tile " + std::to_string(id) + " lies outside " +
           tileset.image);
  }
  size_t bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4;
  tileset.pixels.assign(image.data, image.data + bytes);
  tileset.sheetWidth = image.width;
  tileset.sheetHeight = image.height;
}

void tilesFromCollection(Tileset& tileset) {
  std::vector<std::pair<uint32_t, Picture>> pictures;
  for (const auto& entry : tileset.tiles) {
    if (entry.second.image.empty()) continue;
    pictures.emplace_back(entry.first, Picture());
    decode(entry.second.image, tileset.name, pictures.back().second);
  }
  std::stable_sort(pictures.begin(), pictures.end(), [](const auto& a, const auto& b) {
    return a.second.image.height > b.second.image.height;
  });
  int side = resources::maxTextureSide;
  int width = 1024;
  for (const auto& picture : pictures) width = std::max(width, picture.second.image.width);
  if (width > side) fail("tileset \"" + tileset.name + "\" has a picture wider than a texture");
  // Shelves: left to right, a new shelf below when a picture does not fit.
  tileset.rects.assign(tileset.tileCount, Rect{});
  int x = 0, y = 0, shelf = 0, used = 0;
  for (const auto& picture : pictures) {
    const resources::Image& image = picture.second.image;
    if (x + image.width > width) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    tileset.rects[picture.first] = {x, y, image.width, image.height};
    x += image.width;
    used = std::max(used, x);
    shelf = std::max(shelf, image.height);
  }
  int height = std::max(y + shelf, 1);
  if (height > side ||
      static_cast<size_t>(std::max(used, 1)) * static_cast<size_t>(height) * 4 > resources::MAX_IMAGE_BYTES)
    fail("tileset \"" + tileset.name + "\" does not fit one texture");
  tileset.sheetWidth = std::max(used, 1);
  tileset.sheetHeight = height;
  tileset.pixels.assign(static_cast<size_t>(tileset.sheetWidth) * height * 4, 0);
  for (const auto& picture : pictures) {
    const resources::Image& image = picture.second.image;
    const Rect& rect = tileset.rects[picture.first];
    for (int row = 0; row < image.height; ++row)
      memcpy(&tileset.pixels[(static_cast<size_t>(rect.y + row) * tileset.sheetWidth + rect.x) * 4],
             image.data + static_cast<size_t>(row) * image.width * 4,
             static_cast<size_t>(image.width) * 4);
  }
}
}  // namespace

void buildSheet(Tileset& tileset) {
  if (tileset.collection())
    tilesFromCollection(tileset);
  else
    tilesFromImage(tileset);
  for (const auto& entry : tileset.tiles)
    if (!entry.second.animation.empty()) tileset.animated = true;
}
}  // namespace maps
