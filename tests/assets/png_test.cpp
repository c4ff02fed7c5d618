// The PNG decoder on files written here: what it accepts, what it refuses, and
// that every refusal leaves no file open and nothing allocated.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "assets/png_files.h"
#include "assets/resources.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
// A picture whose every byte tells where it is, alpha included.
Picture numberedPicture(int width, int height) {
  Picture picture = solidPicture(width, height, {0, 0, 0, 0});
  for (size_t i = 0; i < picture.rgba.size(); ++i)
    picture.rgba[i] = static_cast<unsigned char>(i * 7 % 251);
  return picture;
}

// Loads `path` expecting the empty image and exactly `log` on standard output.
void expectRefused(const std::string& path, const std::string& log) {
  SCOPED_TRACE(path);
  int filesBefore = openFiles();
  resources::Image image;
  std::string out = testsupport::captureOutput([&] { image = resources::loadPNG(path.c_str()); });
  EXPECT_EQ(out, log);
  EXPECT_EQ(image.data, nullptr);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
  EXPECT_EQ(openFiles(), filesBefore) << "file left open";
  free(image.data);
}

size_t findChunk(const std::vector<unsigned char>& bytes, const char* type) {
  auto at = std::search(bytes.begin(), bytes.end(), type, type + 4);
  return static_cast<size_t>(at - bytes.begin());
}
}  // namespace

TEST(LoadPNG, ReadsRGBARowsTopFirstAsStored) {
  GameFolder dir;
  for (int interlace : {PNG_INTERLACE_NONE, PNG_INTERLACE_ADAM7}) {
    Picture picture = numberedPicture(13, 9);
    writePNG(dir.file("p.png"), 13, 9, PNG_COLOR_TYPE_RGBA, 8, interlace, picture.rgba);
    resources::Image image = resources::loadPNG(dir.file("p.png").c_str());
    ASSERT_NE(image.data, nullptr);
    EXPECT_EQ(image.width, 13);
    EXPECT_EQ(image.height, 9);
    EXPECT_EQ(image.alias, "");
    EXPECT_EQ(0, memcmp(image.data, picture.rgba.data(), picture.rgba.size()))
        << "interlace " << interlace;
    free(image.data);
  }
}

TEST(LoadPNG, RefusesEveryOtherColourTypeAndSixteenBitRGBA) {
  GameFolder dir;
  struct Kind {
    const char* name;
    int colorType;
    int bitDepth;
    int bytesPerPixel;
  };
  for (Kind kind : {Kind{"grey", PNG_COLOR_TYPE_GRAY, 8, 1}, Kind{"greyalpha", PNG_COLOR_TYPE_GA, 8, 2},
                    Kind{"rgb", PNG_COLOR_TYPE_RGB, 8, 3}, Kind{"palette", PNG_COLOR_TYPE_PALETTE, 8, 1},
                    Kind{"deep", PNG_COLOR_TYPE_RGBA, 16, 8}}) {
    std::string path = dir.file(std::string(kind.name) + ".png");
    writePNG(path, 4, 4, kind.colorType, kind.bitDepth, PNG_INTERLACE_NONE,
             std::vector<unsigned char>(4 * 4 * kind.bytesPerPixel, 1));
    expectRefused(path, "Image " + path + " isn't of format RGBA\n");
  }
}

TEST(LoadPNG, MissingShortAndForeignFilesAreRefusedWithTheirMessages) {
  GameFolder dir;
  expectRefused(dir.file("none.png"), "Failed to open file " + dir.file("none.png") + "\n");
  writeBytes(dir.file("short.png"), {0x89, 'P', 'N'});
  // This message has no line break of its own.
  expectRefused(dir.file("short.png"), "File " + dir.file("short.png") + " isn't a png");
  dir.write("text.png", "just some words, not a picture");
  expectRefused(dir.file("text.png"), "File " + dir.file("text.png") + " isn't a png");
  expectRefused(dir.path(), "File " + dir.path() + " isn't a png");
}

// Both sides within the texture limit, but at 4 bytes a pixel over the 256 MiB
// cap: refused on the header's word, before any pixel is allocated or read
// (the files hold the pixel data of a 2 × 2 picture, which would fail the
// decode otherwise).
TEST(LoadPNG, PicturesOverTheDecodedSizeCapAreRefusedFromTheirHeader) {
  GameFolder dir;
  writePicture(dir.file("small.png"), numberedPicture(2, 2));
  const std::vector<unsigned char> small = readBytes(dir.file("small.png"));
  const size_t header = findChunk(small, "IHDR");
  for (auto size : {std::make_pair(16384u, 4097u), std::make_pair(4097u, 16384u)}) {
    std::vector<unsigned char> bytes = small;
    for (int i = 0; i < 4; ++i) {
      bytes[header + 4 + i] = static_cast<unsigned char>(size.first >> (24 - 8 * i));
      bytes[header + 8 + i] = static_cast<unsigned char>(size.second >> (24 - 8 * i));
    }
    uLong sum = crc32(0, &bytes[header], 17);  // the type and the header fields
    for (int i = 0; i < 4; ++i)
      bytes[header + 17 + i] = static_cast<unsigned char>(sum >> (24 - 8 * i));
    std::string path = dir.file("big.png");
    writeBytes(path, bytes);
    expectRefused(path, "Image " + path + " of " + std::to_string(size.first) + " x " +
                            std::to_string(size.second) +
                            " pixels refused: at most 16384 pixels a side and 256 MiB decoded\n");
  }
}

TEST(LoadPNG, TruncatedOrCorruptFilesEndAsEmptyImages) {
  GameFolder dir;
  std::string good = dir.file("good.png");
  writePicture(good, numberedPicture(32, 32));
  std::vector<unsigned char> bytes = readBytes(good);
  size_t header = findChunk(bytes, "IHDR"), data = findChunk(bytes, "IDAT");
  ASSERT_LT(data + 20, bytes.size());

  writeBytes(dir.file("cut.png"), std::vector<unsigned char>(bytes.begin(), bytes.begin() + data + 20));
  std::vector<unsigned char> badHeader = bytes, badData = bytes;
  badHeader[header + 6] ^= 0xff;  // width, under the chunk's checksum
  badData[data + 10] ^= 0xff;
  writeBytes(dir.file("badheader.png"), badHeader);
  writeBytes(dir.file("baddata.png"), badData);
  for (const char* name : {"cut.png", "badheader.png", "baddata.png"})
    expectRefused(dir.file(name), "Failed to decode png " + dir.file(name) + "\n");

  resources::Image image = resources::loadPNG(good.c_str());
  EXPECT_NE(image.data, nullptr) << "the intact original loads";
  free(image.data);
}
