// Fonts: rasterising onto a glyph sheet, the metrics and lookups, and the
// fonts of start-up. The fonts are system ones (DejaVu Sans, X's fixed font),
// copied into a temporary folder under the names the tests need.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "assets/resources.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const char* const OUTLINE_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const BITMAP_FONT = "/usr/share/fonts/X11/misc/10x20-ISO8859-1.pcf.gz";

std::string bytesOf(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (bytes.str().empty()) ADD_FAILURE() << path << " is missing (scripts/install-deps.sh)";
  return bytes.str();
}

// The R bytes of the sheet under a glyph's sprite, rows top first.
std::vector<unsigned char> coverageOf(const resources::Glyph& glyph) {
  std::vector<unsigned char> coverage;
  int x0 = static_cast<int>(glyph.sprite.uv[0][0] * 2048),
      y0 = static_cast<int>(glyph.sprite.uv[0][1] * 2048);
  for (int y = 0; y < glyph.sprite.height; ++y)
    for (int x = 0; x < glyph.sprite.width; ++x)
      coverage.push_back(glyph.sprite.sheet->data[((y0 + y) * 2048 + x0 + x) * 4]);
  return coverage;
}

class Fonts : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!resources::ft) resources::init();
  }
  void SetUp() override { dir.write("fonts/Sans.ttf", bytesOf(OUTLINE_FONT)); }
  void TearDown() override { resources::clear(); }

  // Loads with the given characters (the default set when null); the log in `log`.
  resources::Sheet* load(const std::string& name, unsigned size, const char* characters,
                         std::string* log = nullptr) {
    resources::Sheet* sheet = nullptr;
    std::string out = testsupport::captureOutput([&] {
      sheet = characters ? resources::loadFont(folder().c_str(), name.c_str(), size, characters)
                         : resources::loadFont(folder().c_str(), name.c_str(), size);
    });
    if (log) *log = out;
    return sheet;
  }
  std::string folder() const { return dir.path() + "/fonts/"; }

  GameFolder dir;
};
}  // namespace

TEST_F(Fonts, TheDefaultSetIsRasterisedAsFreeTypeRendersIt) {
  std::string log;
  resources::Sheet* sheet = load("Sans", 48, nullptr, &log);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/SansCopy images\nReturn sheet\n");
  EXPECT_EQ(resources::sheets.back(), sheet);
  EXPECT_TRUE(resources::sprites.empty()) << "glyph sprites stay in the font";
  ASSERT_EQ(resources::fonts.size(), 1u);
  const resources::Font& font = resources::fonts[0];
  EXPECT_EQ(font.name, "Sans");
  EXPECT_EQ(font.size, 48u);
  EXPECT_EQ(font.glyphs.size(), 76u);

  FT_Face face;
  ASSERT_EQ(FT_New_Face(resources::ft, OUTLINE_FONT, 0, &face), 0);
  FT_Set_Pixel_Sizes(face, 0, 48);
  for (char c : std::string("iMg,")) {
    ASSERT_EQ(FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const resources::Glyph& glyph = font.glyphs.at(c);
    EXPECT_EQ(glyph.left, face->glyph->bitmap_left) << c;
    EXPECT_EQ(glyph.top, face->glyph->bitmap_top) << c;
    EXPECT_EQ(glyph.advance, static_cast<float>(face->glyph->advance.x / 64)) << c;
    EXPECT_EQ(glyph.sprite.sheet, sheet) << c;
    ASSERT_EQ(glyph.sprite.width, static_cast<int>(bitmap.width)) << c;
    ASSERT_EQ(glyph.sprite.height, static_cast<int>(bitmap.rows)) << c;
    std::vector<unsigned char> rendered;
    for (unsigned y = 0; y < bitmap.rows; ++y)
      rendered.insert(rendered.end(), bitmap.buffer + y * bitmap.pitch,
                      bitmap.buffer + y * bitmap.pitch + bitmap.width);
    EXPECT_EQ(coverageOf(glyph), rendered) << c;
  }
  FT_Done_Face(face);
  size_t otherBytes = 0;
  for (size_t i = 0; i < 2048u * 2048u * 4; ++i) otherBytes += i % 4 != 0 && sheet->data[i];
  EXPECT_EQ(otherBytes, 0u) << "G, B and A stay zero";

  EXPECT_LT(font.glyphs.at('i').advance, font.glyphs.at('M').advance);
  const resources::Glyph& space = font.glyphs.at(' ');
  EXPECT_EQ(space.sprite.width + space.sprite.height, 0);
  EXPECT_GT(space.advance, 0);

  std::string metricsLog = testsupport::captureOutput([&] {
    EXPECT_EQ(resources::getGlyphAdvance("Sans", 'M'),
              static_cast<int>(font.glyphs.at('M').advance));
    EXPECT_EQ(resources::getGlyphLeft("Sans", 'g'), font.glyphs.at('g').left);
    EXPECT_EQ(resources::getGlyphTop("Sans", 'M'), font.glyphs.at('M').top);
    EXPECT_EQ(resources::getGlyphAdvance("Sans", '@'), 0) << "not in the set";
  });
  EXPECT_EQ(metricsLog, "");
}

TEST_F(Fonts, FontsAreFoundOnlyByExactNameAndSize) {
  ASSERT_NE(load("Sans", 32, "ab"), nullptr);
  ASSERT_NE(load("Sans", 32, "a"), nullptr);
  resources::Sheet* blank = load("Sans", 16, "");
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(std::count(blank->data, blank->data + 2048 * 2048 * 4, 0), 2048 * 2048 * 4);
  ASSERT_EQ(resources::fonts.size(), 3u) << "the same name and size twice keeps both";

  resources::Font missing;
  std::string log = testsupport::captureOutput([&] {
    EXPECT_EQ(resources::getFont("Sans", 32).glyphs.size(), 2u) << "the first loaded wins";
    EXPECT_TRUE(resources::getFont("Sans", 16).glyphs.empty());
    missing = resources::getFont("sans", 32);
    EXPECT_EQ(resources::getGlyphAdvance("Sans", 'a'), 0) << "metrics come from size 48 only";
  });
  EXPECT_EQ(log,
            "WARNING! Using font that hasn't been created: sans 32\n"
            "WARNING! Using font that hasn't been created: Sans 48\n");
  EXPECT_TRUE(missing.glyphs.empty() && missing.name.empty() && missing.size == 0);
}

TEST_F(Fonts, AFontThatCannotBeLoadedLeavesNothingBehind) {
  dir.write("fonts/Text.ttf", "not a font");
  std::string log;
  EXPECT_EQ(load("Missing", 48, nullptr, &log), nullptr);
  EXPECT_EQ(log,
            "Load font " + folder() + "/MissingCould not open font " + folder() + "Missing.ttf\n");
  EXPECT_EQ(load("Text", 48, nullptr, &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/TextCould not open font " + folder() + "Text.ttf\n");

  // The path buffer holds 511 characters: a longer path is refused, not cut.
  std::string longName(512 - folder().size() - 4, 'n');
  EXPECT_EQ(load(longName, 48, nullptr, &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/" + longName + "Font path " + folder() + longName +
                     ".ttf is too long\n");

  // A glyph whose data ends before its points cannot be loaded.
  dir.write("fonts/Cut.ttf",
            bytesOf((std::string(TARNWICK_FUZZ_DIR) + "/corpus/font/cut-glyph.ttf").c_str()));
  EXPECT_EQ(load("Cut", 48, "ab", &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/CutCould not load character\n");
  EXPECT_TRUE(resources::fonts.empty());
  EXPECT_TRUE(resources::sheets.empty());
}

TEST_F(Fonts, GlyphsTooLargeForTheSheetOrTheSizeAreNeverRendered) {
  // Past FreeType's largest size a glyph could not even be rendered: its
  // outline alone says it cannot be placed, and its metrics stay.
  std::string log;
  ASSERT_NE(load("Sans", 70000, "ab", &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/SansCopy images\nReturn sheet\n");
  const resources::Glyph& a = resources::fonts.at(0).glyphs.at('a');
  EXPECT_EQ(a.sprite.sheet, nullptr);
  EXPECT_GT(a.advance, 30000);

  // Glyphs over four times the size asked for are refused with one line.
  dir.write("fonts/Huge.ttf",
            bytesOf((std::string(TARNWICK_FUZZ_DIR) + "/regressions/font/huge-glyphs.ttf").c_str()));
  ASSERT_NE(load("Huge", 48, "ab!", &log), nullptr);
  EXPECT_EQ(log, "Load font " + folder() + "/HugeCopy images\nReturn sheet\n"
                 "Font Huge: 2 glyphs larger than 192 pixels (4 x its size) refused\n");
  const resources::Font& huge = resources::fonts.at(1);
  EXPECT_EQ(huge.glyphs.at('a').sprite.sheet, nullptr);
  EXPECT_EQ(huge.glyphs.at('a').advance, 2040);
  EXPECT_EQ(huge.glyphs.size(), 3u) << "the unmapped ! is an empty glyph";
}

TEST_F(Fonts, ABitmapFontsOneBitPixelsBecomeFullCoverage) {
  // FreeType tells the format by the content, whatever the file is called.
  dir.write("fonts/Fixed.ttf", bytesOf(BITMAP_FONT));
  ASSERT_NE(load("Fixed", 20, "M"), nullptr);
  std::vector<unsigned char> coverage = coverageOf(resources::fonts.at(0).glyphs.at('M'));
  EXPECT_GT(std::count(coverage.begin(), coverage.end(), 255), 20);
  EXPECT_EQ(std::count(coverage.begin(), coverage.end(), 0) +
                std::count(coverage.begin(), coverage.end(), 255),
            static_cast<long>(coverage.size()));
}

TEST(FontStartUp, LoadsTheGamesFontsAndUploadsTheirSheets) {
  GameFolder game;
  game.writeMain("config = { width = 64, height = 64 }\n");
  game.write("assets/fonts/OLDENGL.ttf", bytesOf(OUTLINE_FONT));
  writePicture(game.file("assets/sprites/dot.png"), solidPicture(3, 3, {9, 9, 9, 255}));
  GameRun run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(linesInOrder(
      run.out, {"Create sheets", "Looking for files in folder assets/sprites/", "Copy images",
                "Return sheet", "Load font assets/fonts//OLDENGLCopy images", "Return sheet",
                "Load font assets/fonts//TrashHandCould not open font "
                "assets/fonts/TrashHand.ttf",
                "Call main lua init"}))
      << run.out;
}
