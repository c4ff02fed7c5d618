// The texture registry: every PNG of a folder becomes its own square,
// power-of-two sheet (the picture in the top-left corner, transparent black
// elsewhere), handed to the caller's upload and registered under the picture's
// name.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "assets/resources.h"
#include "core/log.h"

namespace resources {
namespace {
const char* const MIPMAPPED_TEXTURE = "bunny_eye";
const unsigned MIPMAPPED_LEVELS = 8;
const size_t PIXEL_BYTES = 4;

// The square sheet must be one GL can hold and not cost more than a picture
// may: a long thin picture pads to a sheet as wide as it is long.
bool sheetAllowed(const std::string& alias, int side) {
  size_t bytes = static_cast<size_t>(side) * static_cast<size_t>(side) * PIXEL_BYTES;
  if (side <= maxTextureSide && bytes <= MAX_IMAGE_BYTES) return true;
  DLOG(LogLevel::Error,
       "Texture %s refused: its sheet of %d x %d pixels is over %d pixels a side or %zu MiB\n",
       alias.c_str(), side, side, maxTextureSide, MAX_IMAGE_BYTES >> 20);
  return false;
}

// A zeroed sheet of side × side pixels with the image copied into its
// top-left corner, row for row; null when the memory is not there.
Sheet* placeOnSheet(const Image& image, int side) {
  size_t sideBytes = static_cast<size_t>(side) * PIXEL_BYTES;
  auto* data = static_cast<unsigned char*>(calloc(sideBytes * static_cast<size_t>(side), 1));
  if (!data) return nullptr;
  size_t rowBytes = static_cast<size_t>(image.width) * PIXEL_BYTES;
  for (int y = 0; y < image.height; ++y)
    memcpy(data + static_cast<size_t>(y) * sideBytes, image.data + static_cast<size_t>(y) * rowBytes,
           rowBytes);
  Sheet* sheet = new Sheet;
  sheet->width = side;
  sheet->height = side;
  sheet->data = data;
  return sheet;
}
}  // namespace

int roundUpToPowerOfTwo(int value) {
  int power = 1;
  while (power < value) power <<= 1;
  return power;
}

unsigned mipmapLevelsAllowed(int width, int height) {
  unsigned levels = 1;
  for (int size = std::max(width, height); size > 1; size /= 2) ++levels;
  return levels;
}

namespace {
// Registers the picture (whose pixels it frees) under its alias on a new
// sheet, or on `reused`, which gets the new pixels and size; a reused sheet's
// old texture name is still in sheet.texture when `upload` runs. False (logged)
// when the picture is refused.
bool registerImage(Image& image, const SheetUpload& upload, Sheet* reused) {
  int side = roundUpToPowerOfTwo(std::max(image.width, image.height));
  if (!sheetAllowed(image.alias, side)) {
    free(image.data);
    return false;
  }
  Sheet* sheet = placeOnSheet(image, side);
  free(image.data);
  if (!sheet) {
    DLOG(LogLevel::Error, "Not enough memory for texture %s\n", image.alias.c_str());
    return false;
  }
  if (reused) {
    free(reused->data);
    reused->data = sheet->data;
    reused->width = sheet->width;
    reused->height = sheet->height;
    delete sheet;
    sheet = reused;
  } else {
    sheets.push_back(sheet);
  }
  DLOG(LogLevel::Info, "Create texture %s\n", image.alias.c_str());
  // More levels than the side allows would be refused by GL.
  unsigned levels = image.alias == MIPMAPPED_TEXTURE
                        ? std::min(mipmapLevelsAllowed(side, side), MIPMAPPED_LEVELS)
                        : 1;
  upload(*sheet, levels);
  textures[image.alias] = sheet;
  return true;
}
}  // namespace

void loadTextures(const char* folder, const SheetUpload& upload) {
  for (Image& image : loadPNGs(folder)) registerImage(image, upload, nullptr);
}

bool reloadTexture(const std::string& path, const SheetUpload& upload) {
  Image image = loadPNG(path.c_str());
  if (!image.data) return false;
  size_t slash = path.rfind('/');
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  image.alias = file.substr(0, file.find('.'));
  return registerImage(image, upload, getTexture(image.alias));
}

Sheet* getTexture(const std::string& name) {
  auto found = textures.find(name);
  return found == textures.end() ? nullptr : found->second;
}

unsigned char getColorFromTexture(std::string name, size_t pixelIndex, size_t channel) {
  Sheet* sheet = getTexture(name);
  // Requests outside the sheet read nothing rather than memory past it.
  if (!sheet || !sheet->data || sheet->width <= 0 || sheet->height <= 0 || channel >= PIXEL_BYTES)
    return 0;
  size_t pixels = static_cast<size_t>(sheet->width) * static_cast<size_t>(sheet->height);
  if (pixelIndex >= pixels) return 0;
  return sheet->data[pixelIndex * PIXEL_BYTES + channel];
}
}  // namespace resources
