// The sheets that text on screen draws its glyphs from: RGBA sheets that glyph
// pictures join one at a time, on shelves (rows of pictures as tall as the
// tallest among them), with a new sheet when none has room. Each pixel holds
// the glyph's coverage in all four bytes: white with premultiplied alpha.
// The sheets are registered in resources::sheets, which owns and frees them;
// uploading them to GL is the renderer's job (render/sheets.h), told by
// the band of rows that changed since its last upload.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <deque>
#include <vector>

#include "assets/resources.h"

namespace glyphsheets {
const int SIDE = 1024;      // a new sheet's side; MAX_SIDE for pictures over half of it
const int MAX_SIDE = 2048;  // pictures that need more than this are refused

// A row of pictures: its top, its height, and where the next picture goes.
struct Shelf {
  int y = 0;
  int height = 0;
  int x = 0;
};

struct GlyphSheet {
  resources::Sheet* sheet = nullptr;  // square, side a power of two
  std::vector<Shelf> shelves;         // top to bottom; only the last may grow
  int changedTop = 0;                 // rows [changedTop, changedBottom) are not
  int changedBottom = 0;              // uploaded yet; none when changedBottom is 0
};

extern std::deque<GlyphSheet> sheets;

// Copies the bitmap's coverage onto the first sheet with room (or a new one)
// and describes where in `sprite`. False, with `sprite` untouched, when the
// bitmap is larger than a sheet may be or a new sheet's memory is not there.
// An empty bitmap takes no room and leaves `sprite` zero.
bool add(const FT_Bitmap& bitmap, resources::Sprite* sprite);
// Forgets every sheet; their memory is resources::clear's to free.
void clear();
}  // namespace glyphsheets
