// Texture upload and clear colours, with a real GL context.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/graphics.h"
#include "render/render_fixture.h"
#include "support/capture.h"

using testsupport::captureOutput;
using rendertest::RenderTest;
using rendertest::windowPixel;
using testsupport::RGBA;

namespace {
using Textures = RenderTest;

// Level 0 of the bound texture, 4 bytes a pixel.
std::vector<unsigned char> boundLevelZero(int width, int height) {
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

GLint boundParameter(GLenum name) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
  return value;
}
}  // namespace

TEST_F(Textures, OnlyRGBAIsPremultipliedTruncatedAndEverythingIsUploadedAsRGBA) {
  const unsigned char original[] = {255, 255, 255, 128, 200, 100, 50, 0};
  const std::vector<unsigned char> unchanged(original, original + 8);
  struct Case {
    int premultiply;
    int format;
    std::vector<unsigned char> expected;
  };
  const Case cases[] = {{1, GL_RGBA, {128, 128, 128, 128, 0, 0, 0, 0}},
                        {1, GL_RGB, unchanged},
                        {0, GL_RGBA, unchanged}};
  for (const Case& c : cases) {
    unsigned char image[8];
    memcpy(image, original, sizeof image);
    gr_createTexture(image, 2, 1, c.premultiply, GL_RGBA, c.format, GL_REPEAT, 1);
    EXPECT_EQ(std::vector<unsigned char>(image, image + 8), c.expected) << "changed in place";
    EXPECT_EQ(boundLevelZero(2, 1), c.expected) << "uploaded, and left bound";
  }
}

TEST_F(Textures, MipmapLevelsAreClampedToWhatTheSizeAllows) {
  // A 100 × 60 image asking for 8 levels can have 7 (100, 50, 25, 12, 6, 3, 1).
  std::vector<unsigned char> image(100 * 60 * 4, 200);
  std::string log = captureOutput(
      [&] { gr_createTexture(image.data(), 100, 60, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 8); });
  EXPECT_EQ(log, "Create texture 100 60\nMipmap levels 8 changed to 7 for a 100 x 60 texture\n");
  EXPECT_EQ(boundParameter(GL_TEXTURE_IMMUTABLE_LEVELS), 7);

  log = captureOutput(
      [&] { gr_createTexture(image.data(), 64, 64, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 7); });
  EXPECT_EQ(log, "Create texture 64 64\n");
  EXPECT_EQ(boundParameter(GL_TEXTURE_IMMUTABLE_LEVELS), 7);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Textures, ClearColoursAreTakenUnscaledAndClamped) {
  for (int full : {1, 255}) {
    gr_setClearColor(0, 0, 0, full);
    glClear(GL_COLOR_BUFFER_BIT);
    gr_setClearColor(full, 0, 0, full);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(windowPixel(1, 1), (RGBA{255, 0, 0, 255})) << full;
  }
}
