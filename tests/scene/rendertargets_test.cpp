// Named render targets, from gr_createRenderTarget and from the script's
// renderTextureTargets table, with a real GL context.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

#include "render/graphics.h"
#include "render/render_fixture.h"
#include "scene/rendertarget_tables.h"
#include "support/capture.h"
#include "support/lua_state.h"

using testsupport::captureOutput;
using rendertest::RenderTest;
using rendertest::targetPixel;
using testsupport::linesInOrder;
using testsupport::LuaState;
using testsupport::RGBA;

namespace {
class RenderTargets : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    renderTargets.clear();
  }

  // Runs createRenderTargets after `script`, checking the stack is left as found.
  std::string createFromScript(const std::string& script) {
    lua.run(script);
    int top = lua_gettop(lua);
    std::string log = captureOutput([&] { createRenderTargets(lua); });
    EXPECT_EQ(lua_gettop(lua), top);
    return log;
  }

  LuaState lua;
};

GLint colourLevelParameter(const RenderTarget& target, GLenum name) {
  GLint value = 0;
  glBindTexture(GL_TEXTURE_2D, target.texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
  return value;
}

GLint depthAttachmentType(const RenderTarget& target) {
  GLint type = -1;
  glBindFramebuffer(GL_FRAMEBUFFER, target.frameBuffer);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return type;
}
}  // namespace

TEST_F(RenderTargets, AFloatTargetWithoutDepthFromTheScript) {
  std::string log = createFromScript(
      "renderTextureTargets = { glow = { width = 256, height = 128, internalFormat = 'GL_RG32F',"
      " format = 'GL_RG', type = 'GL_FLOAT', depth = false } }");
  EXPECT_EQ(log, "Create rendertargets\nCreate target glow\nGen depth\nTarget created\n");
  RenderTarget* glow = gr_getRenderTarget("glow");
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->width, 256);
  EXPECT_EQ(glow->height, 128);
  EXPECT_EQ(colourLevelParameter(*glow, GL_TEXTURE_INTERNAL_FORMAT), GL_RG32F);
  EXPECT_EQ(depthAttachmentType(*glow), GL_NONE);
  EXPECT_EQ(gr_getRenderTarget("other"), nullptr);
}

TEST_F(RenderTargets, ADescriptionWithOnlyASizeGivesRGBAWithDepth) {
  createFromScript(
      "renderTextureTargets = { plain = { width = 64.9, height = function() return 32 end } }");
  RenderTarget* plain = gr_getRenderTarget("plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->width, 64);
  EXPECT_EQ(plain->height, 32);
  EXPECT_EQ(colourLevelParameter(*plain, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  EXPECT_EQ(colourLevelParameter(*plain, GL_TEXTURE_RED_SIZE), 8);
  EXPECT_EQ(colourLevelParameter(*plain, GL_TEXTURE_ALPHA_SIZE), 8);
  EXPECT_EQ(depthAttachmentType(*plain), GL_TEXTURE);
}

TEST_F(RenderTargets, DescriptionsWithoutSizeOrNameAreSkippedAndTheRestMade) {
  std::string log = createFromScript(
      "renderTextureTargets = { noheight = { width = 16 }, [1] = { width = 8, height = 8 },"
      " zero = { width = 0, height = 4 }, good = { width = 8, height = 8 }, odd = 5 }\n"
      "notATable = 3");
  EXPECT_NE(log.find("Render target noheight needs a positive width and height (got 16 x 0), "
                     "not created\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Render target zero needs a positive width and height (got 0 x 4)"),
            std::string::npos);
  EXPECT_NE(log.find("Render target odd needs"), std::string::npos);
  EXPECT_NE(log.find("Render target key of type number is not a name, skipped\n"),
            std::string::npos);
  EXPECT_EQ(renderTargets.size(), 1u);
  EXPECT_NE(gr_getRenderTarget("good"), nullptr);

  // No table at all: only the first line.
  EXPECT_EQ(createFromScript("renderTextureTargets = nil"), "Create rendertargets\n");
}

// Too wide, too tall (16 x 40000, or taller still on a driver that allows
// more): either side alone is refused.
TEST_F(RenderTargets, ASizeOverTheGLLimitIsRefusedAndTheRunGoesOn) {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  const int tall = std::max(40000, limit + 1);
  for (auto size : {std::make_pair(limit + 1, 8), std::make_pair(16, tall)}) {
    gr_createRenderTarget(8, 8, "big", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, false);
    std::string log = captureOutput([size] {
      gr_createRenderTarget(size.first, size.second, "big", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE,
                            true);
    });
    EXPECT_EQ(log, "Render target big of " + std::to_string(size.first) + " x " +
                       std::to_string(size.second) + " pixels refused: GL allows at most " +
                       std::to_string(limit) + " a side\n");
    ASSERT_NE(gr_getRenderTarget("big"), nullptr) << "the earlier target stays";
    EXPECT_EQ(gr_getRenderTarget("big")->width, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

// llvmpipe has no memory for a float target this large (2 GiB) and says so
// at once, without allocating.
TEST_F(RenderTargets, StorageGLHasNoMemoryForIsRefusedAndTheEarlierTargetStays) {
  gr_createRenderTarget(8, 8, "huge", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  std::string log = createFromScript(
      "renderTextureTargets = { huge = { width = 16384, height = 16384,"
      " internalFormat = 'GL_RG32F', format = 'GL_RG', type = 'GL_FLOAT' } }");
  EXPECT_EQ(log,
            "Create rendertargets\nCreate target huge\nGen depth\n"
            "Render target huge of 16384 x 16384 pixels refused: GL has no memory for it\n");
  ASSERT_NE(gr_getRenderTarget("huge"), nullptr);
  EXPECT_EQ(gr_getRenderTarget("huge")->width, 8);
  EXPECT_TRUE(glIsFramebuffer(gr_getRenderTarget("huge")->frameBuffer));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "no error is left pending";
}

TEST_F(RenderTargets, RemakingANameReplacesTheTargetsObjects) {
  gr_createRenderTarget(16, 16, "t", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  RenderTarget* first = gr_getRenderTarget("t");
  ASSERT_NE(first, nullptr);
  RenderTarget old = *first;
  GLint oldDepth = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, old.frameBuffer);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &oldDepth);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  ASSERT_TRUE(glIsTexture(static_cast<GLuint>(oldDepth)));
  gr_createRenderTarget(32, 8, "t", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, false);
  RenderTarget* second = gr_getRenderTarget("t");
  EXPECT_EQ(second, first) << "the record is overwritten in place";
  EXPECT_EQ(second->width, 32);
  EXPECT_EQ(second->height, 8);
  EXPECT_FALSE(glIsFramebuffer(old.frameBuffer));
  EXPECT_FALSE(glIsTexture(old.texture));
  EXPECT_FALSE(glIsTexture(static_cast<GLuint>(oldDepth))) << "the depth texture goes too";
  EXPECT_TRUE(glIsFramebuffer(second->frameBuffer));
}

TEST_F(RenderTargets, ClearingEmptiesEveryTarget) {
  gr_createRenderTarget(8, 8, "a", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  gr_createRenderTarget(8, 8, "b", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, false);
  for (const char* name : {"a", "b"}) {
    glBindFramebuffer(GL_FRAMEBUFFER, gr_getRenderTarget(name)->frameBuffer);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  EXPECT_EQ(targetPixel("a", 3, 3), (RGBA{255, 0, 0, 255}));
  gr_clearRenderTargets();
  EXPECT_EQ(targetPixel("a", 3, 3), (RGBA{0, 0, 0, 0}));
  EXPECT_EQ(targetPixel("b", 3, 3), (RGBA{0, 0, 0, 0}));

  std::string log = captureOutput([] { gr_prepareFrameBuffer(); });
  EXPECT_EQ(log, "frame buffer status: 36053");
}

TEST_F(RenderTargets, AnIncompleteFramebufferEndsTheRunWithStatusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A depth format cannot be a colour attachment.
  EXPECT_EXIT((dup2(STDERR_FILENO, STDOUT_FILENO),
               gr_createRenderTarget(8, 8, "bad", GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT,
                                     GL_FLOAT, false)),
              ::testing::ExitedWithCode(1), "Frame buffer status check failed: 36054\n");
}
