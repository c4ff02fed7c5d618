// Sizes and coverage of FreeType bitmaps.
#include "assets/glyphbitmap.h"

#include <cstddef>

namespace glyphbitmap {
long wholePixels(FT_Pos length) { return static_cast<long>((length + 63) / 64); }

bool readable(const FT_Bitmap& bitmap) {
  return bitmap.pixel_mode == FT_PIXEL_MODE_GRAY || bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
}

unsigned char coverage(const FT_Bitmap& bitmap, unsigned int x, unsigned int y) {
  unsigned int rowBytes =
      static_cast<unsigned int>(bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch);
  unsigned int memoryRow = bitmap.pitch < 0 ? bitmap.rows - 1 - y : y;
  const unsigned char* row = bitmap.buffer + static_cast<size_t>(memoryRow) * rowBytes;
  if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
  return row[x];
}
}  // namespace glyphbitmap
