// The shader watch callback: changed shader files rebuild the cached programs
// that use them, with a real GL context.
#include <gtest/gtest.h>

#include <string>

#include "host/watchers.h"
#include "render/graphics.h"
#include "render/render_fixture.h"
#include "support/capture.h"
#include "support/game_run.h"

using testsupport::captureOutput;
using testsupport::countLines;
using testsupport::linesInOrder;

namespace {
std::string solidFragment(const char* rgba) {
  return std::string("#version 120\nvoid main() { gl_FragColor = vec4(") + rgba + "); }\n";
}

class ShaderWatch : public rendertest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    writeVertexShader("clip", rendertest::CLIP_VS);
  }
};
}  // namespace

TEST_F(ShaderWatch, TheShaderWatchRebuildsOnlyThePairsUsingTheChangedFile) {
  writeFragmentShader("solid", solidFragment("1.0, 0.0, 0.0, 1.0"));
  writeFragmentShader("keep", solidFragment("0.0, 0.0, 1.0, 1.0"));
  GLuint solid = gr_getProgram("clip", "solid"), keep = gr_getProgram("clip", "keep");

  writeFragmentShader("solid", solidFragment("0.0, 1.0, 0.0, 1.0"));
  std::string log = captureOutput([] {
    watchers::onShaderChange(filesystem::Change::MODIFIED, "assets/shaders/gl210/solid.fs");
  });
  EXPECT_TRUE(linesInOrder(log, {"Looking for shader solid fs", "Testing shader clip keep",
                                 "Testing shader clip solid", "Changing shader clip solid",
                                 "Compiling shader assets/shaders/gl210/solid.fs"}))
      << log;
  EXPECT_EQ(countLines(log, "Changing shader clip keep"), 0);
  EXPECT_EQ(gr_programs["clip"]["keep"], keep);
  GLuint rebuilt = gr_programs["clip"]["solid"];
  ASSERT_NE(rebuilt, solid);

  // The rebuilt program draws with the new source.
  rendertest::Quad quad(-1, -1, 1, 1);
  Batch batch = rendertest::quadBatch(rebuilt, quad);
  gr_render(&batch);
  EXPECT_EQ(rendertest::windowPixel(5, 5), (testsupport::RGBA{0, 255, 0, 255}));

  // A vertex shader change touches every pair that uses it.
  log = captureOutput([] {
    watchers::onShaderChange(filesystem::Change::ADDED, "assets/shaders/gl210/clip.vs");
  });
  EXPECT_EQ(countLines(log, "Changing shader clip keep"), 1);
  EXPECT_EQ(countLines(log, "Changing shader clip solid"), 1);
}
