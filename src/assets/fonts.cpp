// Loading fonts: a TrueType file rasterised once at one pixel size, each
// character's coverage packed onto a glyph sheet of the font's own, and the
// font's metrics registered in `fonts`. Queries live in fontmetrics.cpp.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "assets/glyphbitmap.h"
#include "assets/packing.h"
#include "core/log.h"

namespace resources {
namespace {
const char* const DEFAULT_CHARACTERS =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?#%:/(),._-+ ";
const size_t MAX_PATH = 512;  // terminating NUL included
const size_t PIXEL_BYTES = 4;

using glyphbitmap::coverage;
using glyphbitmap::GLYPH_SIZE_FACTOR;
using glyphbitmap::readable;
using glyphbitmap::wholePixels;

// An RGBA image of the bitmap with the coverage in each pixel's R byte and
// zero in the others. False when the memory is not there.
bool coverageImage(const FT_Bitmap& bitmap, Image* image) {
  image->width = static_cast<int>(bitmap.width);
  image->height = static_cast<int>(bitmap.rows);
  size_t pixels = static_cast<size_t>(bitmap.width) * bitmap.rows;
  if (pixels == 0) return true;
  image->data = static_cast<unsigned char*>(calloc(pixels, PIXEL_BYTES));
  if (!image->data) return false;
  for (unsigned int y = 0; y < bitmap.rows; ++y)
    for (unsigned int x = 0; x < bitmap.width; ++x)
      image->data[(static_cast<size_t>(y) * bitmap.width + x) * PIXEL_BYTES] =
          coverage(bitmap, x, y);
  return true;
}

// What becomes of a glyph's picture, by its size in pixels. A glyph far larger
// than the size asks for comes from a broken or hostile font, and a font of
// such glyphs would hold gigabytes until packing; one larger than the sheet
// could never be placed. Neither is rendered nor kept; its metrics are.
enum class GlyphPicture { KEPT, OFF_SHEET, REFUSED };

GlyphPicture pictureFor(long width, long height, long largest, const Rectangle& area) {
  if (width > largest || height > largest) return GlyphPicture::REFUSED;
  if (width > area.width || height > area.height) return GlyphPicture::OFF_SHEET;
  return GlyphPicture::KEPT;
}

// Renders every character into `glyphs` (metrics) and `images` (pictures
// named by the character); false at the first that cannot be rendered.
// `refused` counts the glyphs over GLYPH_SIZE_FACTOR × size.
bool renderCharacters(FT_Face face, unsigned int size, const char* characters,
                      std::list<Image>& images, std::map<char, Glyph>& glyphs, int& refused) {
  Rectangle area = packingArea();
  long largest = static_cast<long>(GLYPH_SIZE_FACTOR) * std::max(size, 1u);
  for (const char* c = characters; *c; ++c) {
    if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_DEFAULT)) return false;
    FT_GlyphSlot slot = face->glyph;
    Glyph glyph;
    glyph.advance = static_cast<float>(slot->advance.x / 64);
    // The outline's extent, known before a pixel is rendered.
    GlyphPicture picture = pictureFor(wholePixels(slot->metrics.width),
                                      wholePixels(slot->metrics.height), largest, area);
    if (picture == GlyphPicture::KEPT) {
      if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) || !readable(slot->bitmap)) return false;
      picture = pictureFor(slot->bitmap.width, slot->bitmap.rows, largest, area);
    }
    if (picture != GlyphPicture::KEPT) {
      glyph.left = static_cast<int>(slot->metrics.horiBearingX >> 6);
      glyph.top = static_cast<int>(wholePixels(slot->metrics.horiBearingY));
      glyphs[*c] = glyph;
      if (picture == GlyphPicture::REFUSED) ++refused;
      continue;
    }
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyphs[*c] = glyph;
    Image image;
    if (!coverageImage(slot->bitmap, &image)) return false;
    image.alias = std::string(1, *c);
    images.push_back(std::move(image));
  }
  return true;
}
}  // namespace

Sheet* loadFont(const char* folder, const char* fontName, unsigned int size,
                const char* characters) {
  DLOG(LogLevel::Info, "Load font %s/%s", folder, fontName);
  char path[MAX_PATH];
  if (snprintf(path, sizeof path, "%s%s.ttf", folder, fontName) >= static_cast<int>(sizeof path)) {
    DLOG(LogLevel::Error, "Font path %s%s.ttf is too long\n", folder, fontName);
    return nullptr;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(ft, path, 0, &face)) {
    DLOG(LogLevel::Error, "Could not open font %s\n", path);
    return nullptr;
  }
  FT_Set_Pixel_Sizes(face, 0, size);
  std::list<Image> images;
  std::map<char, Glyph> glyphs;
  int refused = 0;
  bool rendered = renderCharacters(face, size, characters, images, glyphs, refused);
  // Closed at once: the pictures and metrics hold all the font needs later.
  FT_Done_Face(face);
  if (!rendered) {
    DLOG(LogLevel::Error, "Could not load character\n");
    releaseImages(images);
    return nullptr;
  }

  sortTallestFirst(images);
  std::deque<Image> placed;
  placeImages(packingArea(), &images, &placed);
  releaseImages(images);  // glyphs that did not fit keep a zero sprite
  std::map<std::string, Sprite> glyphSprites;
  Sheet* sheet = createSheet(glyphSprites, placed, PIXEL_BYTES);
  if (!sheet) return nullptr;
  for (const auto& entry : glyphSprites) glyphs[entry.first[0]].sprite = entry.second;
  if (refused > 0)
    DLOG(LogLevel::Warning, "Font %s: %d glyphs larger than %ld pixels (%d x its size) refused\n",
         fontName, refused, static_cast<long>(GLYPH_SIZE_FACTOR) * std::max(size, 1u),
         GLYPH_SIZE_FACTOR);

  Font font;
  font.glyphs = std::move(glyphs);
  font.name = fontName;
  font.size = size;
  fonts.push_back(std::move(font));
  return sheet;
}

Sheet* loadFont(const char* folder, const char* fontName, unsigned int size) {
  return loadFont(folder, fontName, size, DEFAULT_CHARACTERS);
}
}  // namespace resources
