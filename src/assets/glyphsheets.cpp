// Shelf packing of glyph pictures onto growing sets of sheets.
#include "assets/glyphsheets.h"

#include <algorithm>
#include <cstdlib>

#include "assets/glyphbitmap.h"
#include "assets/packing.h"

namespace glyphsheets {
std::deque<GlyphSheet> sheets;

namespace {
const size_t PIXEL_BYTES = 4;

// A place for a w × h picture on the sheet: on the first shelf tall enough
// with room to its right, else on the last shelf grown taller, else on a new
// shelf below. False when the sheet is full for it.
bool place(GlyphSheet& glyphSheet, int w, int h, int* x, int* y) {
  int end = glyphSheet.sheet->width - resources::PADDING;  // pictures stay inside
  Shelf* chosen = nullptr;
  for (Shelf& shelf : glyphSheet.shelves) {
    bool last = &shelf == &glyphSheet.shelves.back();
    bool tallEnough = h <= shelf.height || (last && shelf.y + h <= end);
    if (tallEnough && shelf.x + w <= end) {
      chosen = &shelf;
      break;
    }
  }
  if (!chosen) {
    int top = resources::PADDING;
    if (!glyphSheet.shelves.empty())
      top = glyphSheet.shelves.back().y + glyphSheet.shelves.back().height + resources::PADDING;
    if (top + h > end || resources::PADDING + w > end) return false;
    glyphSheet.shelves.push_back({top, h, resources::PADDING});
    chosen = &glyphSheet.shelves.back();
  }
  *x = chosen->x;
  *y = chosen->y;
  chosen->x += w + resources::PADDING;
  chosen->height = std::max(chosen->height, h);
  return true;
}

GlyphSheet* newSheet(int side) {
  auto* data = static_cast<unsigned char*>(calloc(static_cast<size_t>(side) * side, PIXEL_BYTES));
  if (!data) return nullptr;
  auto* sheet = new resources::Sheet;
  sheet->width = side;
  sheet->height = side;
  sheet->data = data;
  resources::sheets.push_back(sheet);
  sheets.push_back(GlyphSheet{sheet, {}, 0, 0});
  return &sheets.back();
}

void copy(const FT_Bitmap& bitmap, GlyphSheet& glyphSheet, int x, int y) {
  resources::Sheet& sheet = *glyphSheet.sheet;
  for (unsigned int row = 0; row < bitmap.rows; ++row) {
    unsigned char* pixel =
        sheet.data + ((static_cast<size_t>(y) + row) * sheet.width + x) * PIXEL_BYTES;
    for (unsigned int column = 0; column < bitmap.width; ++column, pixel += PIXEL_BYTES)
      std::fill(pixel, pixel + PIXEL_BYTES, glyphbitmap::coverage(bitmap, column, row));
  }
  int bottom = y + static_cast<int>(bitmap.rows);
  bool clean = glyphSheet.changedBottom == 0;
  glyphSheet.changedTop = clean ? y : std::min(glyphSheet.changedTop, y);
  glyphSheet.changedBottom = clean ? bottom : std::max(glyphSheet.changedBottom, bottom);
}

// Corners top-left, top-right, bottom-right, bottom-left, as fractions of the sheet.
void describe(const GlyphSheet& glyphSheet, int x, int y, int w, int h, resources::Sprite* sprite) {
  float side = static_cast<float>(glyphSheet.sheet->width);
  const int corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
  sprite->sheet = glyphSheet.sheet;
  sprite->width = w;
  sprite->height = h;
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 2; ++k) sprite->uv[c][k] = static_cast<float>(corners[c][k]) / side;
}
}  // namespace

bool add(const FT_Bitmap& bitmap, resources::Sprite* sprite) {
  int w = static_cast<int>(bitmap.width), h = static_cast<int>(bitmap.rows);
  if (w == 0 || h == 0) return true;
  int need = std::max(w, h) + 2 * resources::PADDING;
  if (need > MAX_SIDE) return false;
  int x = 0, y = 0;
  GlyphSheet* chosen = nullptr;
  for (GlyphSheet& glyphSheet : sheets)
    if (place(glyphSheet, w, h, &x, &y)) {
      chosen = &glyphSheet;
      break;
    }
  if (!chosen) {
    chosen = newSheet(need <= SIDE / 2 ? SIDE : MAX_SIDE);
    if (!chosen || !place(*chosen, w, h, &x, &y)) return false;
  }
  copy(bitmap, *chosen, x, y);
  describe(*chosen, x, y, w, h, sprite);
  return true;
}

void clear() { sheets.clear(); }
}  // namespace glyphsheets
