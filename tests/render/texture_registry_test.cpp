// The folder scan and the texture registry, with a real GL context so that
// sheets are uploaded as at start-up.
#include <gtest/gtest.h>
#include <GL/glew.h>
#include <png.h>

#include <climits>
#include <cstdlib>
#include <set>

#include "assets/png_files.h"
#include "assets/resources.h"
#include "render/sheets.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/gl_fixture.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
class TextureRegistry : public GLTest {
 protected:
  void TearDown() override { resources::clear(); }

  // Loads the folder's textures and returns what was logged meanwhile.
  static std::string load(const std::string& folder) {
    return captureOutput([&] { gr_loadTextures(folder.c_str()); });
  }

  static std::set<std::string> names() {
    std::set<std::string> names;
    for (auto& entry : resources::textures) names.insert(entry.first);
    return names;
  }
};

bool contains(const std::string& log, const std::string& text) {
  return log.find(text) != std::string::npos;
}

void writeSolid(const GameFolder& dir, const std::string& name, int width, int height,
                RGBA colour = {10, 20, 30, 255}) {
  writePicture(dir.file(name), solidPicture(width, height, colour));
}
}  // namespace

TEST_F(TextureRegistry, AnEmptyOrMissingFolderLogsOnlyTheLookingLine) {
  GameFolder dir;
  EXPECT_EQ(load(dir.path()), "Looking for files in folder " + dir.path() + "\n");
  EXPECT_EQ(load(dir.file("missing")), "Looking for files in folder " + dir.file("missing") + "\n");
  EXPECT_TRUE(resources::textures.empty());
  EXPECT_TRUE(resources::sheets.empty());
}

TEST_F(TextureRegistry, NamesAreCutAtTheFirstDotAndOtherEntriesSkipped) {
  GameFolder dir;
  for (const char* name : {"x.png", "a.png.bak", "a.b.png", "A.PNG", "png", ".png"})
    writeSolid(dir, name, 2, 2);
  dir.write("notes.png", "not a picture");
  dir.write("folder.png/inside", "");
  // A trailing slash, as start-up passes it, is kept: the path has two.
  std::string log = load(dir.path() + "/");
  EXPECT_EQ(names(), std::set<std::string>{"x"});
  EXPECT_EQ(resources::sheets.size(), 1u);
  // The "isn't a png" line has no break, so the next line may run on from it.
  EXPECT_TRUE(contains(log, "Create texture x\n")) << log;
  EXPECT_TRUE(contains(log, "File " + dir.path() + "//notes.png isn't a png")) << log;
}

TEST_F(TextureRegistry, OverlongNamesAndPathsAreSkippedWithAMessage) {
  GameFolder dir;
  std::string longest = std::string(123, 'n') + ".png";  // 127 characters still fit
  std::string tooLong = "m" + longest;
  writeSolid(dir, longest, 1, 1);
  writeSolid(dir, tooLong, 1, 1);
  std::string log = load(dir.path());
  EXPECT_EQ(names(), std::set<std::string>{std::string(123, 'n')});
  EXPECT_EQ(countLines(log, "File name " + tooLong + " is too long"), 1) << log;

  resources::clear();
  std::string deep = dir.file(std::string(120, 'd'));
  dir.write(std::string(120, 'd') + "/keep", "");
  size_t fitting = 255 - deep.size() - 1;  // path of 255 characters
  ASSERT_GE(fitting, 5u);
  ASSERT_LT(fitting + 1, 128u);
  std::string fits = std::string(fitting - 4, 'f') + ".png";
  std::string overflows = std::string(fitting - 3, 'o') + ".png";
  writeSolid(dir, std::string(120, 'd') + "/" + fits, 1, 1);
  writeSolid(dir, std::string(120, 'd') + "/" + overflows, 1, 1);
  log = load(deep);
  EXPECT_EQ(names(), std::set<std::string>{std::string(fitting - 4, 'f')});
  EXPECT_EQ(countLines(log, "Path " + deep + "/" + overflows + " is too long"), 1) << log;
}

TEST_F(TextureRegistry, APictureSitsInTheTopLeftOfAZeroedPowerOfTwoSquare) {
  GameFolder dir;
  // Opaque, so premultiplication on upload leaves the bytes as they are.
  Picture wide = solidPicture(65, 10, {0, 0, 0, 255});
  for (size_t i = 0; i < wide.rgba.size(); ++i)
    if (i % 4 != 3) wide.rgba[i] = static_cast<unsigned char>(1 + i % 250);
  writePicture(dir.file("wide.png"), wide);
  writeSolid(dir, "square.png", 64, 64);
  writeSolid(dir, "tall.png", 3, 5);
  load(dir.path());
  ASSERT_EQ(names(), (std::set<std::string>{"wide", "square", "tall"}));
  EXPECT_EQ(resources::getTexture("square")->width, 64);
  EXPECT_EQ(resources::getTexture("tall")->height, 8);

  resources::Sheet* sheet = resources::getTexture("wide");
  ASSERT_EQ(sheet->width, 128);
  ASSERT_EQ(sheet->height, 128);
  int wrong = 0;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      for (int c = 0; c < 4; ++c) {
        int expected = x < 65 && y < 10 ? wide.at(x, y)[c] : 0;
        if (sheet->data[(y * 128 + x) * 4 + c] != expected) ++wrong;
      }
  EXPECT_EQ(wrong, 0);
}

TEST_F(TextureRegistry, RefusedAndBrokenFilesDoNotStopTheScan) {
  GameFolder dir;
  writePNG(dir.file("grey.png"), 2, 2, PNG_COLOR_TYPE_GRAY, 8, PNG_INTERLACE_NONE, {1, 2, 3, 4});
  writePNG(dir.file("palette.png"), 2, 2, PNG_COLOR_TYPE_PALETTE, 8, PNG_INTERLACE_NONE, {0, 1, 1, 0});
  writeSolid(dir, "cut.png", 40, 40);
  std::vector<unsigned char> bytes = readBytes(dir.file("cut.png"));
  bytes.resize(bytes.size() - 30);
  writeBytes(dir.file("cut.png"), bytes);
  writeSolid(dir, "good.png", 2, 2);
  std::string log = load(dir.path());
  EXPECT_EQ(names(), std::set<std::string>{"good"});
  EXPECT_EQ(resources::sheets.size(), 1u);
  EXPECT_EQ(countLines(log, "Image " + dir.file("grey.png") + " isn't of format RGBA"), 1);
  EXPECT_EQ(countLines(log, "Image " + dir.file("palette.png") + " isn't of format RGBA"), 1);
}

TEST_F(TextureRegistry, PicturesAndSheetsOverTheGLLimitAreRefused) {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  ASSERT_EQ(resources::maxTextureSide, limit) << "set by the renderer at start-up";
  // A limit that is no power of two: a picture within it may pad past it.
  resources::maxTextureSide = 48;
  GameFolder dir;
  writeSolid(dir, "wide.png", 49, 1);
  writeSolid(dir, "padded.png", 40, 1);
  writeSolid(dir, "fits.png", 32, 20);
  std::string log = load(dir.path());
  resources::maxTextureSide = limit;
  EXPECT_TRUE(contains(log, "Image " + dir.file("wide.png") +
                                " of 49 x 1 pixels refused: at most 48 pixels a side and 256 "
                                "MiB decoded\n"))
      << log;
  EXPECT_TRUE(contains(log, "Texture padded refused: its sheet of 64 x 64 pixels is over 48 "
                            "pixels a side or 256 MiB\n"))
      << log;
  EXPECT_EQ(names(), std::set<std::string>{"fits"});
  EXPECT_EQ(resources::sheets.size(), 1u);
}

TEST_F(TextureRegistry, ASecondFolderRebindsANameAndKeepsBothSheets) {
  GameFolder first, second;
  writeSolid(first, "tree.png", 2, 2, {255, 0, 0, 255});
  writeSolid(second, "tree.png", 2, 2, {0, 0, 255, 255});
  load(first.path());
  resources::Sheet* older = resources::getTexture("tree");
  load(second.path());
  ASSERT_EQ(resources::sheets.size(), 2u);
  EXPECT_EQ(resources::sheets[0], older);
  EXPECT_EQ(resources::getTexture("tree"), resources::sheets[1]);
  EXPECT_EQ(resources::getColorFromTexture("tree", 0, 2), 255);
  EXPECT_EQ(older->data[0], 255) << "the older sheet keeps its pixels";
}

TEST_F(TextureRegistry, ColoursComeBackPremultipliedAfterTheUpload) {
  GameFolder dir;
  Picture picture = solidPicture(2, 1, {255, 255, 255, 0});
  for (int c = 0; c < 4; ++c) picture.rgba[c] = static_cast<unsigned char>(RGBA{200, 100, 51, 128}[c]);
  writePicture(dir.file("half.png"), picture);
  load(dir.path());
  ASSERT_NE(resources::getTexture("half"), nullptr);
  EXPECT_NE(resources::getTexture("half")->texture, 0);
  // Each colour channel becomes trunc(channel * 128 / 255.0f).
  EXPECT_EQ(resources::getColorFromTexture("half", 0, 0), 100);
  EXPECT_EQ(resources::getColorFromTexture("half", 0, 1), 50);
  EXPECT_EQ(resources::getColorFromTexture("half", 0, 2), 25);
  EXPECT_EQ(resources::getColorFromTexture("half", 0, 3), 128);
  EXPECT_EQ(resources::getColorFromTexture("half", 1, 0), 0);
  EXPECT_EQ(resources::getColorFromTexture("half", 1, 3), 0);
}

TEST_F(TextureRegistry, ASmallBunnyEyeUploadsWithTheLevelsItsSheetHolds) {
  // GL refuses more mipmap levels than a 16 × 16 sheet has, and a refused
  // upload ends the process; in a child, so an early exit cannot pass.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  GameFolder dir;
  writeSolid(dir, "bunny_eye.png", 16, 16);
  EXPECT_EXIT(
      {
        load(dir.path());
        bool loaded = resources::getTexture("bunny_eye") != nullptr;
        resources::clear();
        exit(loaded ? 42 : 1);
      },
      testing::ExitedWithCode(42), "");
}

TEST_F(TextureRegistry, LookupsReadOnlyInsideTheSheetAndNeverInsert) {
  auto* sheet = new resources::Sheet;
  sheet->width = 2;
  sheet->height = 2;
  sheet->data = static_cast<unsigned char*>(malloc(16));
  for (int i = 0; i < 16; ++i) sheet->data[i] = static_cast<unsigned char>(100 + i);
  resources::sheets.push_back(sheet);
  resources::textures["mine"] = sheet;

  EXPECT_EQ(resources::getColorFromTexture("mine", 0, 3), 103);
  EXPECT_EQ(resources::getColorFromTexture("mine", 3, 0), 112);  // pixel (1, 1)
  EXPECT_EQ(resources::getColorFromTexture("mine", 4, 0), 0);
  EXPECT_EQ(resources::getColorFromTexture("mine", 0, 4), 0);
  EXPECT_EQ(resources::getColorFromTexture("mine", SIZE_MAX / 4 + 1, 0), 0);  // wraps to byte 0
  EXPECT_EQ(resources::getColorFromTexture("other", 0, 0), 0);
  EXPECT_EQ(resources::getTexture("other"), nullptr);
  EXPECT_EQ(resources::getTexture("Mine"), nullptr);
  EXPECT_EQ(resources::textures.size(), 1u);
}

TEST_F(TextureRegistry, ClearReleasesEverySheetAndEmptiesTheRegistries) {
  GameFolder dir;
  writeSolid(dir, "a.png", 2, 2);
  writeSolid(dir, "b.png", 2, 2);
  load(dir.path());
  resources::sprites["s"].sheet = resources::sheets[0];
  resources::fonts.emplace_back();
  resources::clear();
  EXPECT_TRUE(resources::sheets.empty());
  EXPECT_TRUE(resources::textures.empty());
  EXPECT_TRUE(resources::sprites.empty());
  EXPECT_TRUE(resources::fonts.empty());
  EXPECT_EQ(resources::getColorFromTexture("a", 0, 3), 0);
}

TEST(StartUp, LoadsTheGamesTexturesBeforeTheSheets) {
  GameFolder game;
  game.writeMain("config = { width = 64, height = 64 }\n");
  game.write("assets/textures/keep", "");
  writePicture(game.file("assets/textures/stone.png"), solidPicture(4, 4, {1, 2, 3, 255}));
  GameRun run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Create textures", "Looking for files in folder assets/textures/",
                                     "Create texture stone", "Create sheets"}))
      << run.out;
}

TEST_F(TextureRegistry, AReloadedTextureKeepsItsSheetAndABrokenFileChangesNothing) {
  GameFolder dir;
  writeSolid(dir, "tree.png", 2, 2, {255, 0, 0, 255});
  load(dir.path());
  resources::Sheet* sheet = resources::getTexture("tree");
  GLuint before = static_cast<GLuint>(sheet->texture);
  writeSolid(dir, "tree.png", 4, 4, {0, 0, 255, 255});
  captureOutput([&] { EXPECT_TRUE(gr_reloadTexture(dir.file("tree.png"))); });
  EXPECT_EQ(resources::getTexture("tree"), sheet);
  EXPECT_EQ(resources::sheets.size(), 1u);
  EXPECT_EQ(sheet->width, 4);
  EXPECT_EQ(resources::getColorFromTexture("tree", 0, 2), 255);
  EXPECT_NE(static_cast<GLuint>(sheet->texture), before);
  EXPECT_FALSE(glIsTexture(before));

  dir.write("tree.png", "not a picture");
  std::string log = captureOutput([&] { EXPECT_FALSE(gr_reloadTexture(dir.file("tree.png"))); });
  EXPECT_TRUE(contains(log, "isn't a png")) << log;
  EXPECT_EQ(resources::getColorFromTexture("tree", 0, 2), 255);
  EXPECT_TRUE(glIsTexture(static_cast<GLuint>(sheet->texture)));
}

TEST_F(TextureRegistry, AReloadedSpritePacksTheSheetAgainAndABrokenFileChangesNothing) {
  GameFolder dir;
  writeSolid(dir, "a.png", 2, 2);
  writeSolid(dir, "b.png", 3, 3);
  captureOutput([&] { gr_uploadSheet(resources::createSpriteSheet(dir.path().c_str()), 1, 1); });
  resources::Sheet* first = resources::sprites.at("a").sheet;
  GLuint firstTexture = static_cast<GLuint>(first->texture);
  writeSolid(dir, "a.png", 5, 5);
  captureOutput([&] { EXPECT_TRUE(gr_reloadSpriteSheet(dir.path().c_str(), dir.file("a.png"))); });
  EXPECT_EQ(resources::sprites.at("a").width, 5);
  EXPECT_EQ(resources::sprites.at("b").width, 3);
  EXPECT_NE(resources::sprites.at("a").sheet, first);
  EXPECT_EQ(first->data, nullptr);
  EXPECT_FALSE(glIsTexture(firstTexture));

  dir.write("a.png", "not a picture");
  captureOutput([&] { EXPECT_FALSE(gr_reloadSpriteSheet(dir.path().c_str(), dir.file("a.png"))); });
  EXPECT_EQ(resources::sprites.at("a").width, 5);
}
