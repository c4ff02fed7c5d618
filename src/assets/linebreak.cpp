// Greedy line breaking: each line takes as many words as fit.
#include "assets/linebreak.h"

namespace linebreak {
namespace {
const size_t NONE = static_cast<size_t>(-1);
}

void breakLines(const std::u32string& text, const std::vector<float>& advance,
                const std::vector<float>& kerning, float maxWidth, std::vector<Line>& lines) {
  lines.clear();
  if (text.empty()) return;
  size_t begin = 0;       // the current line's first character
  float width = 0;        // of characters begin .. i - 1
  size_t spaces = NONE;   // the space run after the line's last whole word
  float widthBefore = 0;  // the line's width up to that run
  size_t resume = NONE;   // the first character after that run
  auto step = [&](size_t i) { return (i > begin ? kerning[i] : 0) + advance[i]; };
  auto startLine = [&](size_t at) {
    begin = at;
    width = 0;
    spaces = resume = NONE;
  };

  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n') {
      size_t end = i > begin && text[i - 1] == '\r' ? i - 1 : i;
      lines.push_back({begin, end, width});
      startLine(i + 1);
      continue;
    }
    if (c != ' ' && spaces != NONE && resume == NONE) resume = i;
    while (maxWidth > 0 && c != ' ' && i > begin && width + step(i) > maxWidth) {
      if (resume != NONE) {
        // The word that began at `resume` moves to the next line.
        lines.push_back({begin, spaces, widthBefore});
        size_t word = resume;
        startLine(word);
        for (size_t k = word; k < i; ++k) width += step(k);
      } else {
        lines.push_back({begin, i, width});
        startLine(i);
      }
    }
    if (c == ' ' && i > begin && text[i - 1] != ' ') {
      spaces = i;
      widthBefore = width;
      resume = NONE;
    }
    width += step(i);
  }
  lines.push_back({begin, text.size(), width});
}
}  // namespace linebreak
