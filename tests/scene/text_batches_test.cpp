// The text and texture passes in-process: which glyphs and rectangles share a
// batch, what a batch carries, and that the stack is left as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "assets/resources.h"
#include "core/luautils.h"
#include "scene/text_pass.h"
#include "scene/texture_pass.h"
#include "scene/transforms.h"
#include "render/render_fixture.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"

using namespace testsupport;

namespace {
class TextBatches : public GLTest {
 protected:
  void SetUp() override {
    if (!resources::ft) resources::init();
    auto* white = new resources::Sheet{4, 4, static_cast<unsigned char*>(malloc(64)), 0};
    memset(white->data, 255, 64);
    white->texture = static_cast<int>(
        gr_createTexture(white->data, 4, 4, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1));
    resources::sheets.push_back(white);
    resources::textures["white"] = white;
  }
  void TearDown() override {
    releaseBatches();
    resources::clear();
  }

  // Frees what the text batches own (the rectangles' vertices are the
  // list's) and empties the lists.
  void releaseBatches() {
    for (BatchList& list : batches) {
      for (Batch& batch : list) {
        if (!batch.freeData) continue;
        free(batch.data);
        free(batch.indices);
      }
      list.clear();
    }
  }

  // The transform, texture and text passes and the walk over `scene`'s world.
  void frame(const std::string& scene) {
    lua.run(scene);
    lua.pushGlobal("world");
    HandlerQueue enter;
    transforms::prepare(lua, enter);
    textures::prepare(lua, enter, batches);
    textpass::prepare(lua, enter, batches);
    luautils::traverse(lua, enter);
    lua_pop(lua, 1);
    EXPECT_EQ(lua_gettop(lua), 0);
  }
  static int glyphs(const Batch& batch) { return batch.indexCount / 6; }

  LuaState lua;
  BatchMatrix batches;
};
}  // namespace

TEST_F(TextBatches, ConsecutiveNodesShareABatchUntilSomethingElseIsDrawnOrTheirUniformsDiffer) {
  frame("world = { camera = {},\n"
        "  { text = 'ab' }, { text = 'c d', uniforms = { color = { 1, 0, 0, 1 } } }, { text = 7 },\n"
        "  { texture = 'white' },\n"
        "  { text = 'ef', u_glow = 1 }, { text = 'gh', u_glow = 2 },\n"
        "}\n");
  ASSERT_EQ(batches.size(), 1u);
  BatchList& deque = batches[0];
  ASSERT_EQ(deque.size(), 4u) << "colour travels with the vertices; other uniforms split";
  EXPECT_EQ(glyphs(deque[0]), 5) << "a, b, c, d and 7: the space has no picture";
  EXPECT_EQ(deque[1].indices, nullptr) << "the rectangle";
  EXPECT_EQ(glyphs(deque[2]), 2);
  EXPECT_EQ(glyphs(deque[3]), 2);
  // Four corners of nine floats a glyph; the second node's corners are red.
  const float* corner = deque[0].data + 2 * 4 * 9;
  EXPECT_FLOAT_EQ(corner[5], 1);
  EXPECT_FLOAT_EQ(corner[6], 0);
  EXPECT_FLOAT_EQ(deque[0].data[6], 1) << "the first node is white";
  ASSERT_TRUE(rendertest::attributeNamed(deque[0].attributes, "in_color"));
  EXPECT_EQ(rendertest::attributeNamed(deque[0].attributes, "in_color")->offset, 5);
  EXPECT_TRUE(deque[0].enableBlending && deque[0].freeData);
  const UniformSet::Entry* sampler = deque[0].uniforms.find("textureSampler");
  ASSERT_TRUE(sampler);
  EXPECT_NE(*static_cast<const GLuint*>(deque[0].uniforms.value(*sampler)), 0u)
      << "the glyph sheet is uploaded before it is named";
}

TEST_F(TextBatches, RectanglesExtendTheBatchBeforeOnlyWhileNothingElseComesBetween) {
  frame("world = { camera = {},\n"
        "  { texture = 'white', x = 10 }, { texture = 'white', x = 20 },\n"
        "  { texture = 'white', u_glow = 1 },\n"
        "  { texture = 'white' }, { text = 'a' }, { texture = 'white' }, { texture = 'white' },\n"
        "}\n");
  ASSERT_EQ(batches.size(), 1u);
  BatchList& list = batches[0];
  ASSERT_EQ(list.size(), 5u) << "own uniforms and text end a run; what follows starts one";
  EXPECT_EQ(list[0].triangles, 4);
  EXPECT_EQ(list[1].triangles, 2);
  EXPECT_TRUE(list[1].uniforms.find("u_glow"));
  EXPECT_EQ(list[2].triangles, 2);
  EXPECT_NE(list[3].indices, nullptr) << "the text";
  EXPECT_EQ(list[4].triangles, 4);
  // Five floats a vertex, six vertices a rectangle: the second node's first
  // corner is 4 x 4 about x = 20.
  EXPECT_FLOAT_EQ(list[0].data[0], 8);
  EXPECT_FLOAT_EQ(list[0].data[30], 18);

  releaseBatches();
  gr_setDrawMerging(false);
  frame("world = { camera = {}, { texture = 'white' }, { texture = 'white' } }\n");
  gr_setDrawMerging(true);
  EXPECT_EQ(batches[0].size(), 2u) << "without merging every rectangle is a batch";
}
