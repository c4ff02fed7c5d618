// Shared ground of the two packers, the sprite sheet and the glyph sheets:
// the sheet's size, the area pictures are packed into, the order they are
// packed in, and the release of pictures that never reach a sheet.
#pragma once

#include <list>

#include "assets/resources.h"

namespace resources {

const int SHEET_SIDE = 2048;
const int PADDING = 2;  // between pictures, and from the sheet's top and left edges

// The whole sheet less the padding at its top and left.
Rectangle packingArea();
// Tallest first; pictures of equal height keep their order.
void sortTallestFirst(std::list<Image>& images);
// Frees the pixels of every picture and empties the list.
void releaseImages(std::list<Image>& images);

}  // namespace resources
