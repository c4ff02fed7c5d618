// Batch records and gr_render / gr_renderBatches against a real GL context.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "render/graphics.h"
#include "render/render_fixture.h"
#include "render/screen.h"
#include "support/capture.h"
#include "support/game_run.h"

using rendertest::floats;
using rendertest::listOf;
using rendertest::Quad;
using rendertest::quadBatch;
using rendertest::RenderTest;
using rendertest::targetPixel;
using rendertest::windowPixel;
using testsupport::near;
using testsupport::RGBA;

namespace {
const RGBA BLACK{0, 0, 0, 255};
const RGBA RED{255, 0, 0, 255};
const RGBA GREEN{0, 255, 0, 255};
const RGBA BLUE{0, 0, 255, 255};

// Death-test children print their log to standard error, where the matcher looks.
void logToStderr() { dup2(STDERR_FILENO, STDOUT_FILENO); }

class BatchDrawing : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeVertexShader("clip", rendertest::CLIP_VS);
    writeFragmentShader("color", rendertest::COLOR_FS);
  }
  GLuint colorProgram() { return gr_getProgram("clip", "color"); }
  Batch colorQuad(Quad& quad, std::initializer_list<float> color) {
    Batch batch = quadBatch(colorProgram(), quad);
    batch.uniforms.set("color", floats(color));
    return batch;
  }
};
}  // namespace

TEST(UniformRecord, CopiesAreDeepAndMovesTransferTheOneBuffer) {
  Uniform original = floats({1, 2, 3, 4});
  Uniform copy(original);
  ASSERT_NE(copy.value, original.value);
  EXPECT_EQ(memcmp(copy.value, original.value, 16), 0);

  Uniform assigned = floats({9});
  assigned = original;  // the old buffer is released (the sanitizer build checks)
  EXPECT_NE(assigned.value, original.value);
  EXPECT_EQ(static_cast<float*>(assigned.value)[3], 4);
  assigned = assigned;
  EXPECT_EQ(static_cast<float*>(assigned.value)[0], 1);

  void* buffer = original.value;
  Uniform moved(std::move(original));
  EXPECT_EQ(moved.value, buffer);
  EXPECT_EQ(original.value, nullptr);
  Uniform target = floats({5, 6});
  target = std::move(moved);
  EXPECT_EQ(target.value, buffer);
}

TEST(UniformSets, ValuesAreCopiedInReplacedOrErasedByNameAndCompared) {
  UniformSet set;
  const float tint[4] = {1, 2, 3, 4};
  set.set("tint", tint, sizeof tint);
  set.set("half", floats({0.5f}));
  set.set("empty", Uniform(16, nullptr));  // no bytes: a value of length 0
  const unsigned char odd[3] = {7, 8, 9};
  set.set("odd", odd, sizeof odd);
  const float other[4] = {5, 6, 7, 8};
  set.set("tint", other, sizeof other);  // in place
  set.set("half", tint, 8);              // longer: moves to the end

  ASSERT_EQ(set.size(), 4u);
  EXPECT_EQ(memcmp(set.value(*set.find("tint")), other, 16), 0);
  EXPECT_EQ(set.find("half")->size, 8u);
  EXPECT_EQ(memcmp(set.value(*set.find("half")), tint, 8), 0);
  EXPECT_EQ(set.find("empty")->size, 0u);
  EXPECT_EQ(memcmp(set.value(*set.find("odd")), odd, 3), 0);
  EXPECT_EQ(set.find("missing"), nullptr);

  UniformSet copy = set;
  EXPECT_TRUE(copy.sameAs(set));
  copy.set("odd", tint, 3);
  EXPECT_FALSE(copy.sameAs(set));
  UniformSet a, b;
  a.set("x", tint, 4);
  a.set("y", other, 4);
  b.set("y", other, 4);
  b.set("x", tint, 4);
  EXPECT_FALSE(a.sameAs(b)) << "built in another order";
  UniformSet erased = a;
  erased.set("z", tint, 4);
  erased.erase(gr_nameId("z"));
  EXPECT_TRUE(erased.sameAs(a)) << "an erased value leaves nothing that counts";

  const void* storage = copy.words.data();
  copy.clear();
  EXPECT_TRUE(copy.empty());
  copy.set("x", tint, 4);
  EXPECT_EQ(copy.words.data(), storage) << "clearing keeps the storage";
}

TEST(AttributeSets, NamesAreReplacedAndOnlySixFit) {
  AttributeSet set;
  EXPECT_TRUE(set.set("in_position", {3, 0}));
  EXPECT_TRUE(set.set("in_position", {2, 1}));
  for (const char* name : {"a", "b", "c", "d", "e"}) EXPECT_TRUE(set.set(name, {1, 0}));
  EXPECT_FALSE(set.set("f", {1, 0}));
  EXPECT_EQ(set.size(), 6u);
  EXPECT_EQ(rendertest::attributeNamed(set, "in_position")->offset, 1);
  EXPECT_EQ(rendertest::attributeNamed(set, "f"), nullptr);
  AttributeSet same = set;
  EXPECT_TRUE(same.sameAs(set));
  same.set("a", {1, 1});
  EXPECT_FALSE(same.sameAs(set));
}

TEST(BatchLists, BatchesAreReusedAfreshAndVerticesEndUpInOneBlock) {
  BatchList list;
  Batch& first = list.add();
  first.triangles = 4;
  first.targetName = "glow";
  first.uniforms.set("tint", floats({1}));
  first.attributes.set("in_position", {3, 0});
  const void* storage = first.uniforms.words.data();
  list.clear();
  Batch& again = list.add();
  EXPECT_EQ(again.triangles, 0);
  EXPECT_TRUE(again.targetName.empty() && again.uniforms.empty() && again.attributes.empty());
  again.uniforms.set("tint", floats({2}));
  EXPECT_EQ(again.uniforms.words.data(), storage) << "the reused batch kept its storage";

  GLfloat* a = list.vertices(30);
  GLfloat* b = list.vertices(30);
  EXPECT_EQ(b, a + 30);
  GLfloat* big = list.vertices(1 << 20);  // past the first block
  EXPECT_NE(big, b + 30);
  big[(1 << 20) - 1] = 1;
  list.clear();
  EXPECT_EQ(list.blocks.size(), 1u);
  GLfloat* c = list.vertices(30);
  GLfloat* d = list.vertices(1 << 20);
  EXPECT_EQ(d, c + 30) << "one block holds the whole frame now";
}

TEST_F(BatchDrawing, TwoGeneratedTrianglesReadEachAttributeAtItsOffset) {
  writeFragmentShader("uv", "#version 120\nvarying vec2 uv;\n"
                            "void main() { gl_FragColor = vec4(uv, 0.0, 1.0); }\n");
  writeVertexShader("uv", "#version 120\nattribute vec3 in_position;\nattribute vec2 in_uv;\n"
                          "varying vec2 uv;\n"
                          "void main() { uv = in_uv; gl_Position = vec4(in_position, 1.0); }\n");
  Quad quad(-1, -1, 1, 1);
  Batch batch = quadBatch(gr_getProgram("uv", "uv"), quad);
  ASSERT_EQ(batch.getStride(), 5);
  gr_render(&batch);
  // Both triangles are drawn, and uv comes from data + 3 floats.
  EXPECT_TRUE(near(windowPixel(2, 2), {0, 0, 0, 255}, 4));
  EXPECT_TRUE(near(windowPixel(WIDTH - 3, 2), {255, 0, 0, 255}, 4));
  EXPECT_TRUE(near(windowPixel(2, HEIGHT - 3), {0, 255, 0, 255}, 4));
  EXPECT_TRUE(near(windowPixel(WIDTH - 3, HEIGHT - 3), {255, 255, 0, 255}, 4));
}

TEST_F(BatchDrawing, ZeroTrianglesDrawNothingAndIndicesChooseTheVertices) {
  Quad quad(-1, -1, 1, 1);
  Batch none = colorQuad(quad, {1, 0, 0, 1});
  none.triangles = 0;
  gr_render(&none);
  EXPECT_EQ(windowPixel(WIDTH / 2, HEIGHT / 2), BLACK);

  // Only the second triangle (upper left) by index.
  unsigned int indices[] = {3, 4, 5};
  Batch indexed = colorQuad(quad, {0, 0, 1, 1});
  indexed.indices = indices;
  indexed.indexCount = 3;
  gr_render(&indexed);
  EXPECT_EQ(windowPixel(5, HEIGHT - 5), BLUE);
  EXPECT_EQ(windowPixel(WIDTH - 5, 5), BLACK);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The window's depth is cleared by the first depth-tested draw after a clear,
// so depth left by an earlier frame never hides what a later one draws, and a
// depth-tested draw into a target leaves the window's clear still to do.
TEST_F(BatchDrawing, DepthLeftByTheLastFrameIsClearedBeforeTheWindowTestsDepth) {
  gr_createRenderTarget(8, 8, "depthside", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  auto depthQuad = [this](Quad& quad, float z, std::initializer_list<float> color) {
    for (int v = 0; v < 6; ++v) quad.vertices[v * 5 + 2] = z;
    Batch batch = colorQuad(quad, color);
    batch.enableDepthTest = true;
    return batch;
  };
  Quad nearQuad(-1, -1, 1, 1), farQuad(-1, -1, 1, 1), sideQuad(-1, -1, 1, 1);
  gr_clearWindow(0, 0, 0);
  Batch nearRed = depthQuad(nearQuad, -0.5f, {1, 0, 0, 1});
  gr_render(&nearRed);
  ASSERT_EQ(windowPixel(WIDTH / 2, HEIGHT / 2), RED);

  gr_clearWindow(0, 0, 0);
  Batch side = depthQuad(sideQuad, -0.5f, {1, 1, 1, 1});
  side.targetName = "depthside";
  gr_render(&side);
  Batch farGreen = depthQuad(farQuad, 0.5f, {0, 1, 0, 1});
  gr_render(&farGreen);
  EXPECT_EQ(windowPixel(WIDTH / 2, HEIGHT / 2), GREEN) << "the last frame's depth hid it";
}

TEST_F(BatchDrawing, ATargetGetsItsOwnViewportAndTheWindowIsRestoredAfter) {
  gr_createRenderTarget(64, 32, "small", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, WIDTH, HEIGHT);

  Quad left(-1, -1, 0, 1), right(0, -1, 1, 1);
  Batch first = colorQuad(left, {1, 0, 0, 1});
  first.targetName = "small";
  first.clearTarget = true;
  gr_render(&first);
  // A full-height quad reaches the target's top row: the viewport was the target's.
  EXPECT_EQ(targetPixel("small", 10, 31), RED);

  Batch second = colorQuad(right, {0, 1, 0, 1});
  second.targetName = "small";
  second.clearTarget = true;
  gr_render(&second);
  EXPECT_EQ(targetPixel("small", 10, 31), (RGBA{0, 0, 0, 0})) << "the second clear removes the first";
  EXPECT_EQ(targetPixel("small", 63, 31), GREEN);

  GLint viewport[4], frameBuffer = -1;
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameBuffer);
  EXPECT_EQ(frameBuffer, 0);
  EXPECT_EQ(viewport[2], int{WIDTH});
  EXPECT_EQ(viewport[3], int{HEIGHT});
  EXPECT_EQ(windowPixel(WIDTH - 5, HEIGHT / 2), BLACK) << "nothing reached the window";

  // A name no target carries goes to the window.
  Batch stray = colorQuad(left, {0, 0, 1, 1});
  stray.targetName = "nowhere";
  gr_render(&stray);
  EXPECT_EQ(windowPixel(5, HEIGHT / 2), BLUE);
}

TEST_F(BatchDrawing, AVectorUniformPrefersTheEntryWithoutItsPrefix) {
  writeFragmentShader("tint", "#version 120\nuniform vec4 u_tint;\n"
                              "void main() { gl_FragColor = u_tint; }\n");
  GLuint program = gr_getProgram("clip", "tint");
  Quad quad(-1, -1, 1, 1);

  Batch both = quadBatch(program, quad);
  both.uniforms.set("u_tint", floats({1, 0, 0, 1}));
  both.uniforms.set("tint", floats({0, 1, 0, 1}));
  gr_render(&both);
  EXPECT_EQ(windowPixel(5, 5), GREEN);

  Batch prefixed = quadBatch(program, quad);
  prefixed.uniforms.set("u_tint", floats({1, 0, 0, 1}));
  gr_render(&prefixed);
  EXPECT_EQ(windowPixel(5, 5), RED);

  Batch shortOnly = quadBatch(program, quad);
  shortOnly.uniforms.set("tint", floats({0, 1, 0, 1}));
  EXPECT_EXIT((logToStderr(), gr_render(&shortOnly)), ::testing::ExitedWithCode(1),
              "Value for uniform u_tint is missing from batch data\n");
}

TEST_F(BatchDrawing, SamplersTakeUnitsInActiveUniformOrder) {
  writeFragmentShader("two", "#version 120\nuniform sampler2D first;\nuniform sampler2D second;\n"
                             "void main() { gl_FragColor = texture2D(first, vec2(0.5)) +"
                             " texture2D(second, vec2(0.5)); }\n");
  GLuint program = gr_getProgram("clip", "two");
  GLuint red = rendertest::solidTexture(255, 0, 0, 255);
  GLuint blue = rendertest::solidTexture(0, 0, 255, 255);
  Quad quad(-1, -1, 1, 1);
  Batch batch = quadBatch(program, quad);
  batch.uniforms.set("first", rendertest::textureName(red));
  batch.uniforms.set("second", rendertest::textureName(blue));
  gr_render(&batch);
  EXPECT_EQ(windowPixel(5, 5), (RGBA{255, 0, 255, 255})) << "both textures sampled";

  for (GLuint index = 0; index < 2; ++index) {
    char name[32];
    GLint size;
    GLenum type;
    glGetActiveUniform(program, index, sizeof name, nullptr, &size, &type, name);
    GLint unit = -1, bound = 0;
    glGetUniformiv(program, glGetUniformLocation(program, name), &unit);
    EXPECT_EQ(unit, static_cast<GLint>(index)) << name;
    glActiveTexture(GL_TEXTURE0 + index);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), std::string(name) == "first" ? red : blue) << name;
  }
  glActiveTexture(GL_TEXTURE0);
}

TEST_F(BatchDrawing, AValueShorterThanItsTypeIsLoggedAndLeftOut) {
  Quad quad(-1, -1, 1, 1);
  Batch good = colorQuad(quad, {1, 0, 0, 1});
  gr_render(&good);
  Batch shortened = colorQuad(quad, {0, 1});
  Batch empty = quadBatch(colorProgram(), quad);
  empty.uniforms.set("color", Uniform(16, nullptr));
  std::string log = testsupport::captureOutput([&] {
    gr_render(&shortened);
    gr_render(&empty);
  });
  EXPECT_NE(log.find("Uniform color holds 8 bytes but its type needs 16; not set\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Uniform color holds 0 bytes but its type needs 16; not set\n"),
            std::string::npos)
      << log;
  // The draws went on with the value the program already held.
  EXPECT_EQ(windowPixel(5, 5), RED);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BatchDrawing, NullBatchesAndNullVertexDataAreSkipped) {
  Quad quad(-1, -1, 1, 1);
  Batch noData = colorQuad(quad, {1, 0, 0, 1});
  noData.data = nullptr;
  noData.freeData = true;
  std::string log = testsupport::captureOutput([&] {
    gr_render(nullptr);
    gr_render(&noData);
    BatchMatrix frame{listOf({noData})};
    gr_renderBatches(frame);
  });
  EXPECT_EQ(log, "");
  EXPECT_EQ(windowPixel(5, 5), BLACK);
}

TEST_F(BatchDrawing, DequesDrawInOrderAndOwnedBlocksAreReleasedOnce) {
  // Owned blocks: malloc'd, released by the renderer (the sanitizer build
  // reports a second release or a leak). One block is, carelessly, owned by
  // two batches.
  auto* owned = static_cast<float*>(malloc(sizeof(Quad::vertices)));
  memcpy(owned, Quad(-1, -1, 1, 1).vertices, sizeof(Quad::vertices));
  auto* ownedIndices = static_cast<unsigned int*>(malloc(6 * sizeof(unsigned int)));
  for (unsigned int i = 0; i < 6; ++i) ownedIndices[i] = i;

  Quad borrowedQuad(0, 0, 1, 1);
  Quad copyOfBorrowed = borrowedQuad;
  Quad dummy(0, 0, 0, 0);
  Batch background = colorQuad(dummy, {1, 0, 0, 1});
  background.data = owned;
  background.indices = ownedIndices;
  background.indexCount = 6;
  background.freeData = true;
  Batch sharer = background;  // same blocks, drawn again on top in green
  sharer.uniforms.set("color", floats({0, 1, 0, 1}));
  Batch borrowed = colorQuad(borrowedQuad, {0, 0, 1, 1});

  BatchMatrix frame{listOf({background, sharer}), listOf({borrowed})};
  gr_renderBatches(frame);
  EXPECT_EQ(windowPixel(5, 5), GREEN);
  EXPECT_EQ(windowPixel(WIDTH - 5, HEIGHT - 5), BLUE) << "deque 1 after deque 0";
  EXPECT_EQ(memcmp(borrowedQuad.vertices, copyOfBorrowed.vertices, sizeof(Quad::vertices)), 0);
}

TEST_F(BatchDrawing, TheSameProgramIsMadeCurrentOnlyOnce) {
  // A program without uniforms, so drawing needs no current program to upload to.
  writeFragmentShader("white", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
  Quad quad(-1, -1, 1, 1);
  Batch first = quadBatch(gr_getProgram("clip", "white"), quad);
  gr_render(&first);
  // Switch behind the renderer's back: a second glUseProgram would undo this.
  glUseProgram(0);
  Batch second = first;
  gr_render(&second);
  GLint current = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
  glUseProgram(first.program);
}

TEST_F(BatchDrawing, AMissingUniformOrAPendingGLErrorEndsTheRunWithStatusOne) {
  Quad quad(-1, -1, 1, 1);
  Batch noColor = quadBatch(colorProgram(), quad);
  EXPECT_EXIT((logToStderr(), gr_render(&noColor)), ::testing::ExitedWithCode(1),
              "Value for uniform color is missing from batch data\n");

  writeFragmentShader("white", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
  GLuint other = gr_getProgram("clip", "white");
  // An error left pending by earlier calls is caught at the next program switch.
  EXPECT_EXIT((logToStderr(), glEnable(0x1234), gr_useProgram(other)),
              ::testing::ExitedWithCode(1), "OpenGL error: Pre use program: 1280\n");
  EXPECT_EXIT((logToStderr(), glEnable(0x1234), gr_render(&noColor)),
              ::testing::ExitedWithCode(1), "OpenGL error: glDisable: 1280\n");
}

TEST_F(BatchDrawing, ATargetDrawnInOneBatchIsSampledByTheNext) {
  gr_createRenderTarget(32, 32, "scene", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, false);
  Quad left(-1, -1, 0, 1), right(0, -1, 1, 1), window(-0.5f, -0.5f, 0.5f, 0.5f);
  Batch redHalf = colorQuad(left, {1, 0, 0, 1});
  redHalf.targetName = "scene";
  redHalf.clearTarget = true;
  Batch blueHalf = colorQuad(right, {0, 0, 1, 0.5f});
  blueHalf.targetName = "scene";

  // The framework's own textured-rectangle program, with an identity projection.
  Batch shown = quadBatch(gr_getProgram("pt", "pt"), window);
  shown.uniforms.set("projection", floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
  shown.uniforms.set("textureSampler", rendertest::textureName(gr_getRenderTarget("scene")->texture));
  shown.uniforms.set("color", floats({1, 1, 1, 1}));
  shown.enableBlending = true;

  glBindFramebuffer(GL_FRAMEBUFFER, 0);  // creating the target left it bound
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  BatchMatrix frame{listOf({redHalf, blueHalf}), listOf({shown})};
  gr_renderBatches(frame);

  testsupport::Picture shot = windowPicture();
  const int top = HEIGHT / 4 + 5, bottom = 3 * HEIGHT / 4 - 5;
  EXPECT_EQ(shot.at(WIDTH / 4 + 5, top), RED);
  EXPECT_EQ(shot.at(WIDTH / 2 - 5, bottom), RED);
  // Blue at half alpha over green, blended as premultiplied.
  EXPECT_TRUE(near(shot.at(3 * WIDTH / 4 - 5, top), {0, 128, 255, 255}, 3))
      << shot.at(3 * WIDTH / 4 - 5, top)[1];
  EXPECT_EQ(shot.at(5, 5), GREEN) << "outside the rectangle";
}

TEST_F(BatchDrawing, APairThatDoesNotLinkDrawsNothingButItsBatchStillClearsItsTarget) {
  writeFragmentShader("broken", "#version 120\nvoid main() { gl_FragColor = nonsense; }\n");
  GLuint broken = 0;
  testsupport::captureOutput([&] { broken = gr_getProgram("clip", "broken"); });
  ASSERT_TRUE(gr_programFailed(broken));
  gr_createRenderTarget(8, 8, "scene", GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, false);
  Quad whole(-1, -1, 1, 1);
  Batch red = colorQuad(whole, {1, 0, 0, 1});
  red.targetName = "scene";
  BatchMatrix before{listOf({red})};
  gr_renderBatches(before);
  ASSERT_EQ(targetPixel("scene", 4, 4), RED);

  Batch skipped = quadBatch(broken, whole);
  skipped.targetName = "scene";
  skipped.clearTarget = true;
  Batch inWindow = quadBatch(broken, whole);
  Quad corner(-1, -1, -0.5f, -0.5f);
  Batch cornerBlue = colorQuad(corner, {0, 0, 1, 1});
  glClearColor(0, 1, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  BatchMatrix frame{listOf({skipped}), listOf({inWindow, cornerBlue})};
  gr_renderBatches(frame);
  EXPECT_EQ(targetPixel("scene", 4, 4), (RGBA{0, 0, 0, 0})) << "cleared, nothing drawn";
  EXPECT_EQ(windowPixel(WIDTH / 2, HEIGHT / 2), GREEN) << "nothing drawn in the window";
  EXPECT_EQ(windowPixel(3, 3), BLUE) << "the batches after it draw";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BatchDrawing, TheDiagnosticTriangleIsWhite) {
  gr_testrender();
  EXPECT_EQ(windowPixel(WIDTH / 2, HEIGHT / 2), (RGBA{255, 255, 255, 255}));
  EXPECT_EQ(windowPixel(3, HEIGHT - 3), BLACK);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
