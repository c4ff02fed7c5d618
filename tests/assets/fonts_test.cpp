// Fonts: rasterising a TrueType file onto a glyph sheet, the metrics, the
// lookups, and the fonts of start-up. The font is a system one (DejaVu Sans),
// copied into a temporary folder under the names the tests need.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "assets/resources.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const char* const SYSTEM_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const MONO_FONT = "/usr/share/fonts/X11/misc/10x20-ISO8859-1.pcf.gz";

std::string systemFont() {
  std::ifstream in(SYSTEM_FONT, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// What FreeType itself renders for one character of the system font.
struct Rendered {
  int left, top, advance26_6;
  unsigned width, rows;
  std::vector<unsigned char> coverage;  // rows of `width` bytes
};

Rendered render(char c, unsigned size) {
  FT_Face face;
  EXPECT_EQ(FT_New_Face(resources::ft, SYSTEM_FONT, 0, &face), 0);
  FT_Set_Pixel_Sizes(face, 0, size);
  EXPECT_EQ(FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER), 0);
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  Rendered result{face->glyph->bitmap_left, face->glyph->bitmap_top,
                  static_cast<int>(face->glyph->advance.x), bitmap.width, bitmap.rows, {}};
  for (unsigned y = 0; y < bitmap.rows; ++y)
    for (unsigned x = 0; x < bitmap.width; ++x)
      result.coverage.push_back(bitmap.buffer[y * bitmap.pitch + x]);
  FT_Done_Face(face);
  return result;
}

size_t nonZero(const resources::Sheet* sheet) {
  size_t set = 0;
  for (size_t i = 0; i < 2048u * 2048u * 4; ++i) set += sheet->data[i] != 0;
  return set;
}

class Fonts : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!resources::ft) resources::init();
  }
  void SetUp() override {
    std::string font = systemFont();
    ASSERT_FALSE(font.empty()) << SYSTEM_FONT << " is missing (fonts-dejavu-core)";
    dir.write("fonts/Sans.ttf", font);
  }
  void TearDown() override { resources::clear(); }

  resources::Sheet* load(const std::string& name, unsigned size, const char* characters,
                         std::string* log = nullptr) {
    testing::internal::CaptureStdout();
    resources::Sheet* sheet =
        characters ? resources::loadFont(folder().c_str(), name.c_str(), size, characters)
                   : resources::loadFont(folder().c_str(), name.c_str(), size);
    std::string out = testing::internal::GetCapturedStdout();
    if (log) *log = out;
    return sheet;
  }
  std::string folder() const { return dir.path() + "/fonts/"; }

  GameFolder dir;
};
}  // namespace

TEST_F(Fonts, TheDefaultSetIsRasterisedOntoASheetOfItsOwn) {
  std::string log;
  resources::Sheet* sheet = load("Sans", 48, nullptr, &log);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/SansCopy images\nReturn sheet\n");
  EXPECT_EQ(resources::sheets.back(), sheet);
  EXPECT_EQ(sheet->width, 2048);
  EXPECT_EQ(sheet->texture, 0);
  EXPECT_TRUE(resources::sprites.empty()) << "glyph sprites stay in the font";
  ASSERT_EQ(resources::fonts.size(), 1u);
  const resources::Font& font = resources::fonts[0];
  EXPECT_EQ(font.name, "Sans");
  EXPECT_EQ(font.size, 48u);
  EXPECT_EQ(font.glyphs.size(), 76u);

  // Metrics and coverage as FreeType renders them; the coverage in R only.
  size_t coverageBytes = 0;
  for (char c : std::string("iMg,")) {
    Rendered expected = render(c, 48);
    const resources::Glyph& glyph = font.glyphs.at(c);
    EXPECT_EQ(glyph.left, expected.left) << c;
    EXPECT_EQ(glyph.top, expected.top) << c;
    EXPECT_EQ(glyph.advance, static_cast<float>(expected.advance26_6 / 64)) << c;
    ASSERT_EQ(glyph.sprite.sheet, sheet) << c;
    ASSERT_EQ(glyph.sprite.width, static_cast<int>(expected.width)) << c;
    ASSERT_EQ(glyph.sprite.height, static_cast<int>(expected.rows)) << c;
    int x0 = static_cast<int>(glyph.sprite.uv[0][0] * 2048);
    int y0 = static_cast<int>(glyph.sprite.uv[0][1] * 2048);
    int wrong = 0;
    for (unsigned y = 0; y < expected.rows; ++y)
      for (unsigned x = 0; x < expected.width; ++x)
        wrong += sheet->data[((y0 + y) * 2048 + x0 + x) * 4] != expected.coverage[y * expected.width + x];
    EXPECT_EQ(wrong, 0) << c;
  }
  for (size_t i = 0; i < 2048u * 2048u * 4; ++i)
    if (i % 4 != 0) coverageBytes += sheet->data[i];
  EXPECT_EQ(coverageBytes, 0u) << "G, B and A stay zero";
  EXPECT_GT(nonZero(sheet), 0u);

  EXPECT_LT(font.glyphs.at('i').advance, font.glyphs.at('M').advance);
  EXPECT_GT(font.glyphs.at('g').sprite.height, font.glyphs.at('g').top) << "g reaches below the baseline";
  const resources::Glyph& space = font.glyphs.at(' ');
  EXPECT_EQ(space.sprite.width, 0);
  EXPECT_EQ(space.sprite.height, 0);
  EXPECT_GT(space.advance, 0);

  testing::internal::CaptureStdout();
  EXPECT_EQ(resources::getGlyphAdvance("Sans", 'M'), static_cast<int>(font.glyphs.at('M').advance));
  EXPECT_EQ(resources::getGlyphLeft("Sans", 'g'), font.glyphs.at('g').left);
  EXPECT_EQ(resources::getGlyphTop("Sans", 'M'), font.glyphs.at('M').top);
  EXPECT_EQ(resources::getGlyphAdvance("Sans", '@'), 0) << "not in the set";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(Fonts, FontsAreFoundOnlyByExactNameAndSize) {
  ASSERT_NE(load("Sans", 32, "ab"), nullptr);
  ASSERT_NE(load("Sans", 32, "a"), nullptr);
  resources::Sheet* blank = load("Sans", 48, "");
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(nonZero(blank), 0u);
  ASSERT_EQ(resources::fonts.size(), 3u) << "the same name and size twice keeps both";
  EXPECT_TRUE(resources::fonts[2].glyphs.empty());

  testing::internal::CaptureStdout();
  EXPECT_EQ(resources::getFont("Sans", 32).glyphs.size(), 2u) << "the first loaded wins";
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  testing::internal::CaptureStdout();
  resources::Font missing = resources::getFont("sans", 32);
  resources::getFont("Sans", 16);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "WARNING! Using font that hasn't been created: sans 32\n"
            "WARNING! Using font that hasn't been created: Sans 16\n");
  EXPECT_TRUE(missing.glyphs.empty());
  EXPECT_EQ(missing.name, "");
  EXPECT_EQ(missing.size, 0u);

  // Metrics are read at size 48 only; the one loaded there has no glyphs.
  resources::fonts.erase(resources::fonts.begin() + 2);
  testing::internal::CaptureStdout();
  EXPECT_EQ(resources::getGlyphAdvance("Sans", 'a'), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "WARNING! Using font that hasn't been created: Sans 48\n");
}

TEST_F(Fonts, AFontThatCannotBeLoadedLeavesNothingBehind) {
  dir.write("fonts/Text.ttf", "not a font");
  std::string log;
  EXPECT_EQ(load("Missing", 48, nullptr, &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/MissingCould not open font " + folder() + "Missing.ttf\n");
  EXPECT_EQ(load("Text", 48, nullptr, &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/TextCould not open font " + folder() + "Text.ttf\n");

  // The path buffer holds 511 characters: a longer one is refused, not cut.
  std::string longName(512 - folder().size() - 4, 'n');
  EXPECT_EQ(load(longName, 48, nullptr, &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/" + longName + "Font path " + folder() + longName +
                     ".ttf is too long\n");

  // Past FreeType's largest size no character renders.
  EXPECT_EQ(load("Sans", 70000, "ab", &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/SansCould not load character\n");

  EXPECT_TRUE(resources::fonts.empty());
  EXPECT_TRUE(resources::sheets.empty());
}

TEST_F(Fonts, ABitmapFontsOneBitPixelsBecomeFullCoverage) {
  // A PCF file of X's fixed font; FreeType tells the format by its content.
  std::ifstream in(MONO_FONT, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  ASSERT_FALSE(bytes.str().empty()) << MONO_FONT << " is missing (xfonts-base)";
  dir.write("fonts/Fixed.ttf", bytes.str());
  resources::Sheet* sheet = load("Fixed", 20, "M@");
  ASSERT_NE(sheet, nullptr);
  const resources::Glyph& glyph = resources::fonts.at(0).glyphs.at('M');
  ASSERT_GT(glyph.sprite.width, 0);
  size_t full = 0, partial = 0;
  for (size_t i = 0; i < 2048u * 2048u * 4; i += 4) {
    full += sheet->data[i] == 255;
    partial += sheet->data[i] != 0 && sheet->data[i] != 255;
  }
  EXPECT_GT(full, 20u);
  EXPECT_EQ(partial, 0u);
}

TEST(FontStartUp, LoadsTheGamesFontsAndUploadsTheirSheets) {
  GameFolder game;
  game.writeMain("config = { width = 64, height = 64 }\n");
  game.write("assets/fonts/OLDENGL.ttf", systemFont());
  writePicture(game.file("assets/sprites/dot.png"), solidPicture(3, 3, {9, 9, 9, 255}));
  GameRun run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Create sheets", "Looking for files in folder assets/sprites/",
                                     "Copy images", "Return sheet",
                                     "Load font assets/fonts//OLDENGLCopy images", "Return sheet",
                                     "Load font assets/fonts//TrashHandCould not open font "
                                     "assets/fonts/TrashHand.ttf",
                                     "Call main lua init"}))
      << run.out;
}
