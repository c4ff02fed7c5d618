// A tileset's pictures as one sheet of exact size (no padding to powers of
// two) and the rectangle of every tile on it.
#pragma once

#include "maps/map.h"

namespace maps {
// Decodes the tileset's image, or packs the pictures of an image collection
// onto one sheet, and fills pixels, sheet size and rects; MapError when a
// picture is missing, does not decode, or does not hold the tiles it should.
void buildSheet(Tileset& tileset);
}  // namespace maps
