// The glyph cache in-process, with the framework's default font: names and
// sizes, the record that getFont finds, and glyphs spilling onto more sheets.
#include <gtest/gtest.h>

#include "assets/glyphcache.h"
#include "assets/glyphsheets.h"
#include "assets/resources.h"
#include "assets/utf8.h"

namespace {
struct GlyphCache : testing::Test {
  static void SetUpTestSuite() {
    if (!resources::ft) resources::init();
  }
  void TearDown() override { resources::clear(); }
};

bool overlap(const resources::Sprite& a, const resources::Sprite& b) {
  return a.sheet == b.sheet && a.uv[0][0] < b.uv[2][0] && b.uv[0][0] < a.uv[2][0] &&
         a.uv[0][1] < b.uv[2][1] && b.uv[0][1] < a.uv[2][1];
}
}  // namespace

TEST_F(GlyphCache, EveryPairInUseIsFoundByGetFontWithItsAsciiGlyphs) {
  glyphcache::Face* face = glyphcache::face("", 19.6f);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->size, 20);
  EXPECT_EQ(glyphcache::face("default", 20), face) << "the empty name is the default font";
  const glyphcache::CachedGlyph& a = glyphcache::glyph(*face, 'A');
  resources::Font font = resources::getFont("default", 20);
  EXPECT_EQ(font.size, 20u);
  ASSERT_EQ(font.glyphs.count('A'), 1u);
  EXPECT_EQ(font.glyphs['A'].advance, a.glyph.advance);
  EXPECT_EQ(font.glyphs['A'].sprite.sheet, a.glyph.sprite.sheet);
  // Characters the font lacks, and invalid bytes, share the missing-glyph box.
  EXPECT_EQ(&glyphcache::glyph(*face, 0x10FFFD), &glyphcache::glyph(*face, utf8::INVALID));
  EXPECT_EQ(glyphcache::glyph(*face, utf8::INVALID).index, 0u);
  EXPECT_NE(glyphcache::glyph(*face, 0xE9).index, 0u) << "Latin-1 on demand";
}

TEST_F(GlyphCache, AFullSheetMakesAnotherAndNoPicturesOverlap) {
  glyphcache::Face* face = glyphcache::face("", 300);
  ASSERT_NE(face, nullptr);
  std::vector<resources::Sprite> pictures;
  for (char32_t c = '!'; c <= '~'; ++c) {
    const resources::Sprite& sprite = glyphcache::glyph(*face, c).glyph.sprite;
    ASSERT_NE(sprite.sheet, nullptr) << static_cast<char>(c);
    for (const resources::Sprite& other : pictures) EXPECT_FALSE(overlap(sprite, other));
    pictures.push_back(sprite);
  }
  EXPECT_GE(glyphsheets::sheets.size(), 2u) << "94 glyphs of 300 pixels need more than one sheet";
}
