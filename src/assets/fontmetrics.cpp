// Looking loaded fonts up by name and size, and the glyph metrics scripts use
// to lay out text, always read from the font's size-48 rendering.
#include <string>

#include "assets/resources.h"
#include "core/diagnostics.h"

namespace resources {
namespace {
const size_t METRICS_SIZE = 48;

// The glyph of `c` in the font's size-48 rendering; all zero when the font or
// the character is missing.
Glyph glyphOf(const std::string& fontName, char c) {
  Font font = getFont(fontName, METRICS_SIZE);
  auto found = font.glyphs.find(c);
  return found == font.glyphs.end() ? Glyph() : found->second;
}
}  // namespace

Font getFont(std::string name, size_t size) {
  for (const Font& font : fonts)
    if (font.name == name && font.size == size) return font;
  diagnostics::logRepeated("font " + name + " " + std::to_string(size),
                           "WARNING! Using font that hasn't been created: %s %d\n", name.c_str(),
                           static_cast<int>(size));
  return Font();
}

int getGlyphAdvance(std::string fontName, char c) {
  return static_cast<int>(glyphOf(fontName, c).advance);
}

int getGlyphLeft(std::string fontName, char c) { return glyphOf(fontName, c).left; }

int getGlyphTop(std::string fontName, char c) { return glyphOf(fontName, c).top; }
}  // namespace resources
