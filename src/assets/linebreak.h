// Breaking text into lines: at every "\n" ("\r\n" counts as one), and, given a
// width, at the spaces before a word that would overflow it. Knows nothing of
// fonts: the caller gives each character's advance and kerning.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace linebreak {
// Characters [begin, end) of the text, and how far the pen travels over them.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  float width = 0;
};

// advance[i]: how far the pen moves for character i; kerning[i]: the change of
// that between character i - 1 and i, left out at the start of a line. With
// maxWidth > 0 a line ends before a word that would take it past maxWidth: the
// spaces there belong to no line. A word wider than maxWidth on its own is
// broken between characters. Spaces never end a line by themselves, so a
// line's width may count trailing spaces only where "\n" or the text ends it.
// Empty text has no lines; text ending in "\n" has an empty last line.
void breakLines(const std::u32string& text, const std::vector<float>& advance,
                const std::vector<float>& kerning, float maxWidth, std::vector<Line>& lines);
}  // namespace linebreak
