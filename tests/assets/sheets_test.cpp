// The packer, the sheet builder and the sprite sheet of a folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "assets/resources.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;
using Position = std::pair<int, int>;

namespace {
// Packs pictures of the given sizes (no pixels: placement looks at sizes
// only) and returns where each landed, in placing order; the rest stay in
// `left`.
std::vector<Position> pack(const std::vector<Position>& sizes, resources::Rectangle area,
                           size_t* left = nullptr) {
  std::list<resources::Image> images;
  for (const Position& size : sizes) {
    images.emplace_back();
    images.back().width = size.first;
    images.back().height = size.second;
  }
  std::deque<resources::Image> placed;
  resources::placeImages(area, &images, &placed);
  if (left) *left = images.size();
  std::vector<Position> positions;
  for (const auto& image : placed) positions.emplace_back(image.x, image.y);
  return positions;
}

const resources::Rectangle SHEET_AREA{2, 2, 2046, 2046};

Position positionOf(const resources::Sprite& sprite) {
  return {static_cast<int>(sprite.uv[0][0] * 2048), static_cast<int>(sprite.uv[0][1] * 2048)};
}

std::string createLogged(const std::string& folder, resources::Sheet** sheet) {
  return testsupport::captureOutput([&] { *sheet = resources::createSpriteSheet(folder.c_str()); });
}

size_t nonZero(const unsigned char* data, size_t bytes) {
  size_t set = 0;
  for (size_t i = 0; i < bytes; ++i) set += data[i] != 0;
  return set;
}

class SpriteSheet : public testing::Test {
 protected:
  void TearDown() override { resources::clear(); }
};
}  // namespace

TEST(Packer, FillsTheLeftColumnFirstThenTheStripsFromTheBottomUp) {
  EXPECT_EQ(pack({{100, 100}, {50, 50}, {50, 50}}, SHEET_AREA),
            (std::vector<Position>{{2, 2}, {2, 104}, {2, 156}}));
  std::vector<Position> at = pack(std::vector<Position>(21, {100, 100}), SHEET_AREA);
  ASSERT_EQ(at.size(), 21u);
  EXPECT_EQ(at[19], Position(2, 1940));
  EXPECT_EQ(at[20], Position(104, 1940));

  size_t left = 0;
  EXPECT_EQ(pack({{2047, 1}, {1, 2047}, {2046, 2046}}, SHEET_AREA, &left),
            (std::vector<Position>{{2, 2}}));
  EXPECT_EQ(left, 2u);
}

TEST(Packer, ALongColumnIsPlacedWithoutExhaustingTheStack) {
  // On the sheet, nesting stays below about 2050 levels (each moves at least
  // two pixels down or right); a tall area of empty pictures nests 200000
  // levels deep, which the packer must not take from the call stack.
  std::vector<Position> at = pack(std::vector<Position>(200000, {0, 0}), {0, 0, 0, 1 << 20});
  ASSERT_EQ(at.size(), 200000u);
  EXPECT_EQ(at.back(), Position(0, 2 * 199999));
}

TEST(Packer, TheSheetBuilderRefusesPicturesOffTheSheet) {
  std::deque<resources::Image> images(2);
  for (auto& image : images) {
    image.width = 10;
    image.height = 1;
    image.data = static_cast<unsigned char*>(malloc(10));
    memset(image.data, 7, 10);
  }
  images[0].alias = "inside";
  images[1] = {10, 1, images[1].data, "outside", 2040, 0};
  std::map<std::string, resources::Sprite> named;
  resources::Sheet* sheet = nullptr;
  EXPECT_EQ(testsupport::captureOutput([&] { sheet = resources::createSheet(named, images, 1); }),
            "Copy images\nImage outside does not lie on the sheet\nReturn sheet\n");
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(named.size(), 1u);
  EXPECT_EQ(nonZero(sheet->data, 2048 * 2048), 10u);
  resources::clear();
}

TEST_F(SpriteSheet, PicturesAreCopiedTallestFirstAndNamedWithTheirCorners) {
  GameFolder dir;
  writePicture(dir.file("tall.png"), solidPicture(10, 20, {200, 10, 20, 255}));
  for (int k = 0; k < 5; ++k)
    writePicture(dir.file(std::string(1, static_cast<char>('a' + k)) + ".png"),
                 solidPicture(7 + k, 5, {k + 1, 2, 3, 4}));
  std::vector<std::string> listed;
  resources::forFiles(dir.path().c_str(), [&](const char* name) {
    if (strlen(name) == 5) listed.emplace_back(name, 1);
  });

  resources::Sheet* sheet;
  EXPECT_EQ(createLogged(dir.path(), &sheet),
            "Looking for files in folder " + dir.path() + "\nCopy images\nReturn sheet\n");
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(resources::sheets.back(), sheet);
  EXPECT_EQ(sheet->texture, 0);

  resources::Sprite tall = resources::sprites["tall"];
  EXPECT_EQ(tall.sheet, sheet);
  const float uv[4][2] = {{2, 2}, {12, 2}, {12, 22}, {2, 22}};
  for (int c = 0; c < 4; ++c)
    for (int k = 0; k < 2; ++k) EXPECT_EQ(tall.uv[c][k], uv[c][k] / 2048) << c << "," << k;

  // Equally tall pictures go down the column in the order the folder listed them.
  ASSERT_EQ(listed.size(), 5u);
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(positionOf(resources::sprites[listed[k]]), Position(2, 24 + 7 * k));

  // Every picture's pixels where its sprite says, zero everywhere else.
  size_t expectedSet = 0, wrong = 0;
  for (const auto& entry : resources::sprites) {
    Picture picture = readPicture(dir.file(entry.first + ".png"));
    Position at = positionOf(entry.second);
    expectedSet += picture.rgba.size();
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        for (int c = 0; c < 4; ++c)
          wrong +=
              sheet->data[((at.second + y) * 2048 + at.first + x) * 4 + c] != picture.at(x, y)[c];
  }
  EXPECT_EQ(wrong, 0u);
  EXPECT_EQ(nonZero(sheet->data, 2048 * 2048 * 4), expectedSet);
}

TEST_F(SpriteSheet, LeftOverPicturesWarnOnceAndAnEmptyFolderGivesABlankSheet) {
  GameFolder dir;
  writePicture(dir.file("wide.png"), solidPicture(2047, 1, {1, 1, 1, 1}));
  writePicture(dir.file("tall.png"), solidPicture(1, 2047, {1, 1, 1, 1}));
  writePicture(dir.file("dot.png"), solidPicture(1, 1, {1, 1, 1, 1}));
  resources::Sheet* sheet;
  EXPECT_EQ(createLogged(dir.path(), &sheet),
            "Looking for files in folder " + dir.path() +
                "\nWARNING: Not all images fit on sheetCopy images\nReturn sheet\n");
  EXPECT_EQ(resources::sprites.size(), 1u);
  EXPECT_EQ(resources::sprites.count("dot"), 1u);

  createLogged(dir.file("missing"), &sheet);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(resources::sheets.back(), sheet);
  EXPECT_EQ(nonZero(sheet->data, 2048 * 2048 * 4), 0u);
}
