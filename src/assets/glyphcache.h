// Fonts of text on screen by name and pixel size. A (font, size) pair is opened
// the first time it is asked for, with the font's missing-glyph box and, up to
// EAGER_SIZE, the printable ASCII characters rasterised at once; every other
// character is rasterised the first time it is asked for, onto the glyph
// sheets (glyphsheets.h). The font of name NAME is the game's assets/fonts/NAME.ttf
// or NAME.otf; "default" (and the empty name) is the framework's own font
// unless the game has one of that name. Every pair in use is also registered
// in resources::fonts, with its ASCII glyphs, so resources::getFont finds it.
// Refusals are logged once each: an unknown font name (the default font
// stands in), a size outside (0, MAX_SIZE], a font that cannot be opened.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <unordered_map>
#include <vector>

#include "assets/resources.h"

namespace glyphcache {
const float MAX_SIZE = 1024;
const int EAGER_SIZE = 128;  // larger sizes rasterise only what is asked for
const char* const DEFAULT_FONT = "default";
const char* const DEFAULT_FONT_FILE = "fonts/DejaVuSans.ttf";  // framework folders

// A glyph as rasterised: its FreeType index (0: the missing-glyph box) and its
// picture and metrics. A glyph without a picture (a space, or one too large
// for a sheet) has a zero sprite with a null sheet.
struct CachedGlyph {
  unsigned int index = 0;
  resources::Glyph glyph;
};

struct Face {
  std::string name;       // the font's name: a game font or DEFAULT_FONT
  int size = 0;           // pixels
  FT_Face ft = nullptr;
  float ascender = 0;     // from the baseline up to the top of the tallest glyphs
  float descender = 0;    // from the baseline to the bottom of the lowest, negative
  float lineHeight = 0;   // from one baseline to the next
  std::unordered_map<unsigned int, CachedGlyph> byIndex;         // owns the glyphs
  std::unordered_map<char32_t, const CachedGlyph*> byCharacter;  // beyond Latin-1
  const CachedGlyph* latin1[256] = {};
  std::vector<short> asciiKerning;  // pairs of ASCII characters, as asked for
  resources::Font* record = nullptr;  // the entry in resources::fonts
  bool refusedLarge = false;          // a glyph over GLYPH_SIZE_FACTOR × size was logged
};

// The face of font `name` at `size` pixels (rounded, at least 1), opened on
// first use. Null when the size is refused or not even the default font can
// be opened.
Face* face(const std::string& name, float size);
// The glyph of character `c`: the missing-glyph box for a character the font
// lacks (utf8::INVALID included).
const CachedGlyph& glyph(Face& face, char32_t c);
// How much closer (negative) or further apart two characters stand, in pixels.
float kerning(Face& face, char32_t left, char32_t right);
// Closes every face and forgets every name; resources::clear calls it.
void clear();
}  // namespace glyphcache
