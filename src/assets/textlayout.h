// Setting text: UTF-8 text in one face becomes lines (linebreak.h) and glyphs
// placed around an anchor, the way the text pass draws it and
// resources::measureText measures it. Positions are pixels in the node's own
// space, y up, the anchor at the origin, rounded to whole pixels so glyphs
// land on the pixel grid of an unscaled view.
#pragma once

#include <string>
#include <vector>

#include "assets/glyphcache.h"

namespace textlayout {
// The anchor is the left end, the middle or the right end of each line.
enum class Align { LEFT, CENTER, RIGHT };
// The anchor is the top of the first line, the middle of the block, the first
// line's baseline, or the bottom of the last line.
enum class VAlign { TOP, MIDDLE, BASELINE, BOTTOM };

struct Size {
  float width = 0;   // of the widest line
  float height = 0;  // top of the first line to the bottom of the last
  int lines = 0;
};

// A glyph with a picture, and its pen position on its line's baseline.
struct Placed {
  const resources::Glyph* glyph = nullptr;
  float x = 0;
  float y = 0;
};

// "left", "center", "right"; anything else is LEFT.
Align alignNamed(const std::string& name);
// "top", "middle", "baseline", "bottom"; anything else is BASELINE.
VAlign valignNamed(const std::string& name);

// The size of `text` set in `face`, wrapped at maxWidth when that is above 0.
Size measure(glyphcache::Face& face, const std::string& text, float maxWidth);
// Sets `text` like measure and puts every glyph that has a picture into
// `placed` (emptied first), in text order.
Size layout(glyphcache::Face& face, const std::string& text, float maxWidth, Align align,
            VAlign valign, std::vector<Placed>& placed);
}  // namespace textlayout
