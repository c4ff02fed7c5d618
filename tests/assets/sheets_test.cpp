// The packer, the sheet builder and the sprite sheet of a folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "assets/resources.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const resources::Rectangle SHEET_AREA{2, 2, 2046, 2046};

// Pictures without pixels, named by their place in the list: placement only
// looks at sizes.
std::list<resources::Image> blanks(const std::vector<std::pair<int, int>>& sizes) {
  std::list<resources::Image> images;
  for (const auto& size : sizes) {
    resources::Image image;
    image.width = size.first;
    image.height = size.second;
    image.alias = std::to_string(images.size());
    images.push_back(image);
  }
  return images;
}

std::vector<std::pair<int, int>> positions(const std::deque<resources::Image>& placed) {
  std::vector<std::pair<int, int>> result;
  for (const auto& image : placed) result.emplace_back(image.x, image.y);
  return result;
}

std::pair<int, int> positionOf(const resources::Sprite& sprite) {
  return {static_cast<int>(sprite.uv[0][0] * 2048), static_cast<int>(sprite.uv[0][1] * 2048)};
}

class SpriteSheet : public testing::Test {
 protected:
  void TearDown() override { resources::clear(); }

  static resources::Sheet* create(const std::string& folder, std::string* log) {
    testing::internal::CaptureStdout();
    resources::Sheet* sheet = resources::createSpriteSheet(folder.c_str());
    *log = testing::internal::GetCapturedStdout();
    return sheet;
  }
};
}  // namespace

TEST(Packer, FillsTheColumnDownTheLeftEdgeThenTheStripsFromTheBottomUp) {
  std::list<resources::Image> images = blanks({{100, 100}, {50, 50}, {50, 50}});
  std::deque<resources::Image> placed;
  resources::placeImages(SHEET_AREA, &images, &placed);
  EXPECT_TRUE(images.empty());
  EXPECT_EQ(positions(placed), (std::vector<std::pair<int, int>>{{2, 2}, {2, 104}, {2, 156}}));

  images = blanks(std::vector<std::pair<int, int>>(21, {100, 100}));
  placed.clear();
  resources::placeImages(SHEET_AREA, &images, &placed);
  ASSERT_EQ(placed.size(), 21u);
  for (int k = 0; k < 20; ++k) EXPECT_EQ(positions(placed)[k], std::make_pair(2, 2 + 102 * k));
  EXPECT_EQ(positions(placed)[20], std::make_pair(104, 1940));
}

TEST(Packer, APictureMayReachTheSheetsLastRowAndColumnButNoFurther) {
  std::list<resources::Image> images = blanks({{2047, 1}, {1, 2047}, {2046, 2046}});
  std::deque<resources::Image> placed;
  resources::placeImages(SHEET_AREA, &images, &placed);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_EQ(placed[0].alias, "2");
  EXPECT_EQ(positions(placed)[0], std::make_pair(2, 2));
  EXPECT_EQ(images.size(), 2u);
}

TEST(Packer, ALongColumnIsPlacedWithoutExhaustingTheStack) {
  // On the sheet, nesting stays below about 2050 levels (each moves at least
  // two pixels down or right); a taller area of empty pictures nests 200000
  // levels deep, which the packer must not take from the call stack.
  std::list<resources::Image> images = blanks(std::vector<std::pair<int, int>>(200000, {0, 0}));
  std::deque<resources::Image> placed;
  resources::placeImages({0, 0, 0, 1 << 20}, &images, &placed);
  ASSERT_EQ(placed.size(), 200000u);
  EXPECT_EQ(positions(placed)[199999], std::make_pair(0, 2 * 199999));
}

TEST(Packer, TheSheetBuilderCopiesRowsOfAnyPixelSizeAndRefusesPicturesOffTheSheet) {
  auto image = [](int x, int y, int width, int height, const char* alias) {
    resources::Image result;
    result.x = x;
    result.y = y;
    result.width = width;
    result.height = height;
    result.alias = alias;
    result.data = static_cast<unsigned char*>(malloc(static_cast<size_t>(width * height)));
    memset(result.data, 7, static_cast<size_t>(width * height));
    return result;
  };
  std::deque<resources::Image> images{image(3, 4, 2, 2, "inside"), image(2040, 0, 10, 1, "outside")};
  std::map<std::string, resources::Sprite> named;
  testing::internal::CaptureStdout();
  resources::Sheet* sheet = resources::createSheet(named, images, 1);
  std::string log = testing::internal::GetCapturedStdout();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(log, "Copy images\nImage outside does not lie on the sheet\nReturn sheet\n");
  EXPECT_EQ(named.size(), 1u);
  EXPECT_EQ(named["inside"].sheet, sheet);
  int set = 0;
  for (size_t i = 0; i < 2048u * 2048u; ++i) set += sheet->data[i] != 0;
  EXPECT_EQ(set, 4);
  EXPECT_EQ(sheet->data[4 * 2048 + 3], 7);
  EXPECT_EQ(sheet->data[5 * 2048 + 4], 7);
  EXPECT_TRUE(resources::sprites.empty()) << "the caller's map, not the global one";
  resources::clear();
}

TEST_F(SpriteSheet, PicturesAreCopiedTallestFirstAndNamedWithTheirCorners) {
  GameFolder dir;
  writePicture(dir.file("tall.png"), solidPicture(10, 20, {200, 10, 20, 255}));
  const char* flat[] = {"a", "b", "c", "d", "e"};
  for (int k = 0; k < 5; ++k)
    writePicture(dir.file(std::string(flat[k]) + ".png"), solidPicture(7 + k, 5, {k + 1, 2, 3, 4}));
  std::vector<std::string> listed;
  resources::forFiles(dir.path().c_str(), [&](const char* name) {
    if (strlen(name) == 5 && name[0] != 't') listed.emplace_back(name, 1);
  });

  std::string log;
  resources::Sheet* sheet = create(dir.path(), &log);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(log, "Looking for files in folder " + dir.path() + "\nCopy images\nReturn sheet\n");
  EXPECT_EQ(resources::sheets.back(), sheet);
  EXPECT_EQ(sheet->width, 2048);
  EXPECT_EQ(sheet->height, 2048);
  EXPECT_EQ(sheet->texture, 0);

  resources::Sprite tall = resources::sprites["tall"];
  EXPECT_EQ(tall.sheet, sheet);
  EXPECT_EQ(tall.width, 10);
  EXPECT_EQ(tall.height, 20);
  const float expected[4][2] = {{2 / 2048.f, 2 / 2048.f}, {12 / 2048.f, 2 / 2048.f},
                                {12 / 2048.f, 22 / 2048.f}, {2 / 2048.f, 22 / 2048.f}};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 2; ++k) EXPECT_EQ(tall.uv[c][k], expected[c][k]) << c << "," << k;

  // Equally tall pictures go down the column in the order the folder listed them.
  ASSERT_EQ(listed.size(), 5u);
  for (size_t k = 0; k < listed.size(); ++k)
    EXPECT_EQ(positionOf(resources::sprites[listed[k]]), std::make_pair(2, 24 + 7 * static_cast<int>(k)))
        << listed[k];

  // Every picture's pixels where its sprite says, zero everywhere else.
  size_t expectedSet = 0, set = 0, wrong = 0;
  for (const auto& entry : resources::sprites) {
    Picture picture = readPicture(dir.file(entry.first + ".png"));
    std::pair<int, int> at = positionOf(entry.second);
    expectedSet += picture.rgba.size();
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        for (int c = 0; c < 4; ++c)
          wrong += sheet->data[((at.second + y) * 2048 + at.first + x) * 4 + c] != picture.at(x, y)[c];
  }
  for (size_t i = 0; i < 2048u * 2048u * 4; ++i) set += sheet->data[i] != 0;
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(set, expectedSet);
}

TEST_F(SpriteSheet, PicturesThatDoNotFitAreLeftOutWithOneWarning) {
  GameFolder dir;
  writePicture(dir.file("wide.png"), solidPicture(2047, 1, {1, 1, 1, 1}));
  writePicture(dir.file("tall.png"), solidPicture(1, 2047, {1, 1, 1, 1}));
  writePicture(dir.file("dot.png"), solidPicture(1, 1, {1, 1, 1, 1}));
  std::string log;
  ASSERT_NE(create(dir.path(), &log), nullptr);
  EXPECT_EQ(log, "Looking for files in folder " + dir.path() +
                     "\nWARNING: Not all images fit on sheetCopy images\nReturn sheet\n");
  EXPECT_EQ(resources::sprites.size(), 1u);
  EXPECT_EQ(resources::sprites.count("dot"), 1u);
}

TEST_F(SpriteSheet, AnEmptyOrMissingFolderStillGivesABlankSheet) {
  GameFolder dir;
  for (const std::string& folder : {dir.path(), dir.file("missing")}) {
    std::string log;
    resources::Sheet* sheet = create(folder, &log);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(log, "Looking for files in folder " + folder + "\nCopy images\nReturn sheet\n");
    EXPECT_EQ(resources::sheets.back(), sheet);
    size_t set = 0;
    for (size_t i = 0; i < 2048u * 2048u * 4; ++i) set += sheet->data[i] != 0;
    EXPECT_EQ(set, 0u);
  }
  EXPECT_EQ(resources::sheets.size(), 2u);
  EXPECT_TRUE(resources::sprites.empty());
}
