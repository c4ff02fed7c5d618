// Setting text in a face: decoding, glyph lookup, line breaking, placement;
// and resources::measureText, the scripts' view of it.
#include "assets/textlayout.h"

#include <algorithm>
#include <cmath>

#include "assets/linebreak.h"
#include "assets/utf8.h"

namespace textlayout {
namespace {
// Work space reused from call to call (one thread; no call nests in another),
// so setting text allocates nothing once it has grown.
struct Scratch {
  std::u32string characters;
  std::vector<const glyphcache::CachedGlyph*> glyphs;
  std::vector<float> advance;
  std::vector<float> kerning;
  std::vector<linebreak::Line> lines;
} scratch;

float whole(float value) { return std::floor(value + 0.5f); }

// Fills the scratch for `text` and measures it.
Size set(glyphcache::Face& face, const std::string& text, float maxWidth) {
  utf8::decode(text, scratch.characters);
  const std::u32string& characters = scratch.characters;
  size_t count = characters.size();
  scratch.glyphs.resize(count);
  scratch.advance.resize(count);
  scratch.kerning.resize(count);
  for (size_t i = 0; i < count; ++i) {
    scratch.glyphs[i] = &glyphcache::glyph(face, characters[i]);
    scratch.advance[i] = scratch.glyphs[i]->glyph.advance;
    scratch.kerning[i] = i > 0 ? glyphcache::kerning(face, characters[i - 1], characters[i]) : 0;
  }
  linebreak::breakLines(characters, scratch.advance, scratch.kerning, maxWidth, scratch.lines);

  Size size;
  size.lines = static_cast<int>(scratch.lines.size());
  for (const linebreak::Line& line : scratch.lines) size.width = std::max(size.width, line.width);
  if (size.lines > 0)
    size.height =
        face.ascender - face.descender + static_cast<float>(size.lines - 1) * face.lineHeight;
  return size;
}

float firstBaseline(const glyphcache::Face& face, int lines, VAlign valign) {
  float below = static_cast<float>(lines - 1) * face.lineHeight;  // first to last baseline
  switch (valign) {
    case VAlign::TOP: return -face.ascender;
    case VAlign::MIDDLE: return (below - face.descender - face.ascender) / 2;
    case VAlign::BOTTOM: return below - face.descender;
    case VAlign::BASELINE: break;
  }
  return 0;
}

float lineStart(float width, Align align) {
  switch (align) {
    case Align::CENTER: return -width / 2;
    case Align::RIGHT: return -width;
    case Align::LEFT: break;
  }
  return 0;
}
}  // namespace

Align alignNamed(const std::string& name) {
  if (name == "center") return Align::CENTER;
  if (name == "right") return Align::RIGHT;
  return Align::LEFT;
}

VAlign valignNamed(const std::string& name) {
  if (name == "top") return VAlign::TOP;
  if (name == "middle") return VAlign::MIDDLE;
  if (name == "bottom") return VAlign::BOTTOM;
  return VAlign::BASELINE;
}

Size measure(glyphcache::Face& face, const std::string& text, float maxWidth) {
  return set(face, text, maxWidth);
}

Size layout(glyphcache::Face& face, const std::string& text, float maxWidth, Align align,
            VAlign valign, std::vector<Placed>& placed) {
  Size size = set(face, text, maxWidth);
  placed.clear();
  if (size.lines == 0) return size;
  float baseline = whole(firstBaseline(face, size.lines, valign));
  for (const linebreak::Line& line : scratch.lines) {
    float x = whole(lineStart(line.width, align));
    for (size_t i = line.begin; i < line.end; ++i) {
      if (i > line.begin) x += scratch.kerning[i];
      const resources::Glyph& glyph = scratch.glyphs[i]->glyph;
      if (glyph.sprite.sheet) placed.push_back({&glyph, x, baseline});
      x += scratch.advance[i];
    }
    baseline = whole(baseline - face.lineHeight);
  }
  return size;
}
}  // namespace textlayout

namespace resources {
void measureText(const char* font, double size, const char* text, double maxWidth, double* width,
                 double* height, int* lines) {
  *width = *height = 0;
  *lines = 0;
  glyphcache::Face* face = glyphcache::face(font ? font : "", static_cast<float>(size));
  if (!face || !text) return;
  textlayout::Size measured = textlayout::measure(*face, text, static_cast<float>(maxWidth));
  *width = measured.width;
  *height = measured.height;
  *lines = measured.lines;
}

void measureText(const char* font, double size, const char* text, double* width, double* height,
                 int* lines) {
  measureText(font, size, text, 0, width, height, lines);
}
}  // namespace resources
