// Fuzzes the font loader at the size start-up uses. A loaded font has a glyph
// for each character at most, every glyph picture lies on the font's sheet
// and within four times the size, and its pixels carry coverage in R only; a
// refused font leaves no font and no sheet behind.
#include "assets/resources.h"
#include "harness.h"

namespace {
const unsigned SIZE = 48;
const int SHEET_SIDE = 2048;
const size_t DEFAULT_CHARACTERS = 76;

void checkGlyph(const resources::Glyph& glyph, const resources::Sheet* sheet) {
  const resources::Sprite& sprite = glyph.sprite;
  if (!sprite.sheet) {
    FUZZ_CHECK(sprite.width == 0 && sprite.height == 0);
    return;
  }
  FUZZ_CHECK(sprite.sheet == sheet);
  FUZZ_CHECK(sprite.width >= 0 && sprite.height >= 0);
  FUZZ_CHECK(sprite.width <= 4 * static_cast<int>(SIZE) &&
             sprite.height <= 4 * static_cast<int>(SIZE));
  int x = static_cast<int>(sprite.uv[0][0] * SHEET_SIDE);
  int y = static_cast<int>(sprite.uv[0][1] * SHEET_SIDE);
  FUZZ_CHECK(x >= 2 && y >= 2 && x + sprite.width <= SHEET_SIDE && y + sprite.height <= SHEET_SIDE);
  for (int row = y; row < y + sprite.height; ++row)
    for (int column = x; column < x + sprite.width; ++column) {
      const unsigned char* pixel = sheet->data + (static_cast<size_t>(row) * SHEET_SIDE + column) * 4;
      FUZZ_CHECK(pixel[1] == 0 && pixel[2] == 0 && pixel[3] == 0);
    }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  resources::init();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, ".ttf");
  size_t slash = path.rfind('/');
  std::string folder = path.substr(0, slash + 1);
  std::string name = path.substr(slash + 1, path.size() - slash - 1 - 4);

  resources::Sheet* sheet = resources::loadFont(folder.c_str(), name.c_str(), SIZE);
  if (!sheet) {
    FUZZ_CHECK(resources::fonts.empty() && resources::sheets.empty());
    return 0;
  }
  FUZZ_CHECK(resources::sheets.size() == 1 && resources::sheets[0] == sheet);
  FUZZ_CHECK(sheet->width == SHEET_SIDE && sheet->height == SHEET_SIDE && sheet->texture == 0);
  FUZZ_CHECK(resources::fonts.size() == 1);
  const resources::Font& font = resources::fonts[0];
  FUZZ_CHECK(font.name == name && font.size == SIZE);
  FUZZ_CHECK(font.glyphs.size() <= DEFAULT_CHARACTERS);
  for (const auto& entry : font.glyphs) checkGlyph(entry.second, sheet);
  resources::clear();
  return 0;
}
