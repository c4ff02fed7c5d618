// Reading the coverage of a bitmap that FreeType rendered, whichever of the
// two 8-bit-reducible pixel modes it came in and whichever way its rows run.
// Shared by the font loader and the glyph cache of text on screen.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbitmap {
// True for the pixel modes read here: 8-bit grey and 1-bit mono.
bool readable(const FT_Bitmap& bitmap);
// The coverage (0 to 255) at column x of row y, y counted from the top row.
unsigned char coverage(const FT_Bitmap& bitmap, unsigned int x, unsigned int y);
}  // namespace glyphbitmap
