// What the font loader and the glyph cache of text on screen share about the
// pictures FreeType renders: how large one may be, and reading its coverage
// whichever of the two 8-bit-reducible pixel modes it came in and whichever
// way its rows run.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace glyphbitmap {
// A glyph's picture is at most this many times the pixel size asked for: a
// larger one comes from a broken or hostile font, and is neither rendered nor
// kept (rendering alone could take gigabytes).
const int GLYPH_SIZE_FACTOR = 4;

// A 26.6 fixed-point length in whole pixels, rounded up.
long wholePixels(FT_Pos length);
// True for the pixel modes read here: 8-bit grey and 1-bit mono.
bool readable(const FT_Bitmap& bitmap);
// The coverage (0 to 255) at column x of row y, y counted from the top row.
unsigned char coverage(const FT_Bitmap& bitmap, unsigned int x, unsigned int y);
}  // namespace glyphbitmap
