// Joining draw calls: batches that agree on everything share one call and
// draw the same pixels as one call each; anything that could show the
// difference splits them. Also the program's remembered uniform values.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/graphics.h"
#include "render/render_fixture.h"
#include "render/screen.h"

using rendertest::floats;
using rendertest::Quad;
using rendertest::quadBatch;
using rendertest::RenderTest;
using rendertest::windowPixel;
using testsupport::Picture;

namespace {
// Positions in clip space and a colour per vertex, blended.
const char* const TINTED_VS =
    "#version 120\n"
    "attribute vec3 in_position;\n"
    "attribute vec4 in_color;\n"
    "varying vec4 tint;\n"
    "void main() { tint = in_color; gl_Position = vec4(in_position, 1.0); }\n";
const char* const TINTED_FS =
    "#version 120\n"
    "uniform vec4 color;\n"
    "varying vec4 tint;\n"
    "void main() { gl_FragColor = tint * color; }\n";

class Merging : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    writeVertexShader("tinted", TINTED_VS);
    writeFragmentShader("tinted", TINTED_FS);
    gr_createRenderTarget(16, 16, "side", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  }
  void TearDown() override {
    gr_setDrawMerging(true);
    RenderTest::TearDown();
  }

  // A translucent square from (x, y), coloured per vertex, in the list's
  // frame memory; `color` is the uniform every batch of a run must share.
  Batch& square(BatchList& list, float x, float y, const float rgba[4], float color = 1) {
    Batch& batch = list.add();
    batch.program = gr_getProgram("tinted", "tinted");
    batch.attributes.set("in_position", {3, 0});
    batch.attributes.set("in_color", {4, 3});
    const float tint[4] = {color, color, color, 1};
    batch.uniforms.set("color", tint, sizeof tint);
    batch.enableBlending = true;
    batch.triangles = 2;
    batch.data = list.vertices(6 * 7);
    Quad quad(x, y, x + 0.5f, y + 0.5f);
    for (int v = 0; v < 6; ++v) {
      memcpy(batch.data + v * 7, quad.vertices + v * 5, 3 * sizeof(float));
      memcpy(batch.data + v * 7 + 3, rgba, 4 * sizeof(float));
    }
    return batch;
  }

  // A frame of overlapping squares: runs that agree, broken by a tint, a
  // target, a cleared target, depth testing, an index array and a batch
  // without vertices (which draws nothing and breaks nothing).
  BatchMatrix frame() {
    const float red[4] = {0.5f, 0, 0, 0.5f}, green[4] = {0, 0.5f, 0, 0.5f},
                blue[4] = {0, 0, 0.5f, 0.5f};
    BatchMatrix matrix(2);
    BatchList& list = matrix[0];
    square(list, -0.8f, -0.8f, red);
    square(list, -0.6f, -0.6f, green);
    Batch& empty = list.add();
    empty = list[0];
    empty.data = nullptr;
    square(list, -0.4f, -0.4f, blue);       // joins the two before
    square(list, -0.2f, -0.2f, red, 0.5f);  // another tint
    square(list, 0.0f, 0.0f, green, 0.5f);
    square(list, 0.0f, 0.0f, red, 0.5f).targetName = "side";
    square(list, 0.1f, 0.1f, blue, 0.5f).targetName = "side";
    Batch& cleared = square(list, 0.2f, 0.2f, green, 0.5f);
    cleared.targetName = "side";
    cleared.clearTarget = true;
    square(list, 0.2f, 0.2f, blue, 0.5f).enableDepthTest = true;
    static const unsigned int order[6] = {0, 1, 2, 3, 4, 5};
    Batch& indexed = square(list, 0.3f, 0.3f, red, 0.5f);
    indexed.indices = const_cast<unsigned int*>(order);
    indexed.indexCount = 6;
    square(list, 0.4f, 0.4f, green, 0.5f);
    square(matrix[1], 0.5f, 0.5f, blue, 0.5f);  // a list of its own
    return matrix;
  }

  // The window and the side target after drawing a frame, and its draw calls.
  struct Drawn {
    Picture window;
    std::vector<testsupport::RGBA> side;  // the target's diagonal
    unsigned long calls;
  };
  Drawn draw(bool merging) {
    gr_setDrawMerging(merging);
    clearAll();
    BatchMatrix matrix = frame();
    unsigned long before = gr_drawCalls();
    gr_renderBatches(matrix);
    return drawn(before);
  }

  void clearAll() {
    gr_clearTarget(*gr_getRenderTarget("side"));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }

  Drawn drawn(unsigned long callsBefore) {
    Drawn result{windowPicture(), {}, gr_drawCalls() - callsBefore};
    for (int i = 0; i < 16; ++i) result.side.push_back(rendertest::targetPixel("side", i, i));
    return result;
  }
};
}  // namespace

TEST_F(Merging, AgreeingNeighboursShareOneCallAndDrawTheSamePixels) {
  Drawn single = draw(false);
  Drawn joined = draw(true);
  EXPECT_EQ(single.calls, 12u);
  // Joined: the first three, the two tinted, the two into the target; the
  // clearing one, the depth-tested one, the indexed one, the last and the
  // other list alone.
  EXPECT_EQ(joined.calls, 8u);
  EXPECT_EQ(joined.window.rgba, single.window.rgba);
  EXPECT_EQ(joined.side, single.side);
  // The overlap of the first three shows blue over green over red.
  testsupport::RGBA overlap = joined.window.at(WIDTH * 32 / 100, HEIGHT * 68 / 100);
  EXPECT_GT(overlap[2], overlap[1]);
  EXPECT_GT(overlap[1], overlap[0]);
}

TEST_F(Merging, VerticesApartInMemoryAreJoinedByCopying) {
  const float red[4] = {1, 0, 0, 1};
  BatchMatrix apart(1);
  square(apart[0], -0.9f, -0.9f, red);
  apart[0].vertices(7);  // a gap between the two
  square(apart[0], 0.2f, 0.2f, red);
  unsigned long before = gr_drawCalls();
  gr_renderBatches(apart);
  EXPECT_EQ(gr_drawCalls() - before, 1u);
  EXPECT_EQ(windowPixel(WIDTH * 8 / 10, HEIGHT * 8 / 10), (testsupport::RGBA{255, 0, 0, 255}));
  EXPECT_EQ(windowPixel(WIDTH / 10, HEIGHT / 10), (testsupport::RGBA{255, 0, 0, 255}));
}

TEST_F(Merging, AValueTheProgramHoldsIsNotSentAgainButAChangedOneIs) {
  writeVertexShader("clip", rendertest::CLIP_VS);
  writeFragmentShader("color", rendertest::COLOR_FS);
  Quad quad(-1, -1, 1, 1);
  Batch batch = quadBatch(gr_getProgram("clip", "color"), quad);
  batch.uniforms.set("color", floats({1, 0, 0, 1}));
  gr_render(&batch);
  EXPECT_EQ(windowPixel(5, 5), (testsupport::RGBA{255, 0, 0, 255}));

  // Changed behind the renderer's back: the same red is not sent again.
  glUniform4f(glGetUniformLocation(batch.program, "color"), 0, 0, 1, 1);
  gr_render(&batch);
  EXPECT_EQ(windowPixel(5, 5), (testsupport::RGBA{0, 0, 255, 255}));
  batch.uniforms.set("color", floats({0, 1, 0, 1}));
  gr_render(&batch);
  EXPECT_EQ(windowPixel(5, 5), (testsupport::RGBA{0, 255, 0, 255}));

  // A program made again under the same name is asked afresh.
  gr_forgetCurrentProgram();
  glUniform4f(glGetUniformLocation(batch.program, "color"), 0, 0, 1, 1);
  gr_render(&batch);
  EXPECT_EQ(windowPixel(5, 5), (testsupport::RGBA{0, 255, 0, 255}));
}

// The frame's first list made batch by batch, each batch first with one of its
// two triangles, as a scene walk extends its last batch; whatever is finished
// is drawn after every step. The index array waits while it is last.
TEST_F(Merging, FinishedBatchesDrawnWhileTheListGrowsGiveTheSamePixels) {
  Drawn whole = draw(true);
  clearAll();
  BatchMatrix full = frame();
  BatchMatrix growing(2);
  growing[1] = full[1];
  DrawnPrefix done;
  for (Batch& batch : full[0]) {
    Batch& added = growing[0].add();
    added = batch;
    if (!added.indices && added.triangles == 2) {
      added.triangles = 1;
      ASSERT_TRUE(gr_renderFinished(growing[0], done));
      growing[0].back().triangles = 2;
    }
    unsigned long calls = gr_drawCalls();
    ASSERT_TRUE(gr_renderFinished(growing[0], done));
    if (batch.indices) {
      EXPECT_EQ(gr_drawCalls(), calls);
    }
  }
  gr_renderBatchesAfter(growing, done);
  Drawn pieces = drawn(0);
  EXPECT_EQ(pieces.window.rgba, whole.window.rgba);
  EXPECT_EQ(pieces.side, whole.side);
}

// A batch that would log while drawn waits for the draws after the walk.
TEST_F(Merging, ABatchMissingAUniformIsNotDrawnEarly) {
  const float red[4] = {1, 0, 0, 1};
  BatchList list;
  square(list, -0.9f, -0.9f, red);
  square(list, 0.2f, 0.2f, red).uniforms.clear();
  DrawnPrefix done;
  unsigned long before = gr_drawCalls();
  EXPECT_FALSE(gr_renderFinished(list, done));
  EXPECT_EQ(gr_drawCalls(), before);
  EXPECT_EQ(done.batch, 0u);
  EXPECT_EQ(done.triangles, 0);
}
