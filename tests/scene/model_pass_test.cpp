// The model pass: the batches it makes, in-process with a real GL context for
// the programs, and pictures through the real executable.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstdlib>
#include <cstring>

#include "assets/mod_bytes.h"
#include "assets/model.h"
#include "core/runstate.h"
#include "scene/model_pass.h"
#include "scene/transforms.h"
#include "support/game_run.h"
#include "render/render_fixture.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
// The batches of one frame of the model pass over the global `world`.
struct Frame {
  BatchMatrix batches;
  explicit Frame(lua_State* L) {
    lua_getglobal(L, "world");
    HandlerQueue enter;
    transforms::prepare(L, enter);
    modelpass::prepare(L, enter, batches, 16);
    luautils::traverse(L, enter);
    lua_pop(L, 1);
  }
  ~Frame() {
    for (auto& deque : batches)
      for (Batch& batch : deque)
        if (batch.freeData) free(batch.data);
  }
};

// The floats of the named uniform, which must hold `count` of them.
const float* floatsOf(const Batch& batch, const char* name, unsigned count) {
  static const float none[16] = {};
  const UniformSet::Entry* entry = batch.uniforms.find(name);
  EXPECT_TRUE(entry) << name;
  if (!entry) return none;
  EXPECT_EQ(entry->size, count * sizeof(float));
  return static_cast<const float*>(batch.uniforms.value(*entry));
}

glm::mat4 matrix(const Batch& batch, const char* name) {
  return glm::make_mat4(floatsOf(batch, name, 16));
}

glm::vec4 vec4(const Batch& batch, const char* name) {
  return glm::make_vec4(floatsOf(batch, name, 4));
}

void expectNear(const glm::mat4& actual, const glm::mat4& expected) {
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5) << c << "," << r;
}

model::Mesh quadMesh(glm::vec4 color) {
  model::Mesh mesh;
  mesh.vertices.assign(4 * 8, 0.5f);
  mesh.indices = {0, 1, 2, 2, 3, 0};
  mesh.hasNormals = mesh.hasUvs = true;
  mesh.material = {color, {"pnt", "pnt"}};
  return mesh;
}

class ModelPassBatches : public GLTest {
 protected:
  void SetUp() override {
    model::models.clear();
    screenWidth = designWidth = WIDTH;
    screenHeight = designHeight = HEIGHT;
  }
  void TearDown() override { model::models.clear(); }
};
}  // namespace

TEST_F(ModelPassBatches, EachCameraDrawsTheNodesOfItsLayerAndInlineListsWin) {
  model::models["quad"].meshes.push_back(quadMesh(glm::vec4(0, 0, 1, 1)));
  LuaState lua;
  lua.run("world = { blend = false,\n"
          "  { camera = {} }, { camera = { layer = 'ui', x = 7 } },\n"
          "  { model = 'quad', vertices = {0,0,0, 1,0,0, 0,1,0, 5} },\n"
          "  { model = 'quad', layer = 'ui' },\n"
          "}\n");
  Frame frame(lua);
  EXPECT_EQ(lua_gettop(lua), 0);
  ASSERT_EQ(frame.batches.size(), 2u);

  // Camera 0: the inline list only; a copy in the frame's vertex memory.
  ASSERT_EQ(frame.batches[0].size(), 1u);
  const Batch& list = frame.batches[0][0];
  EXPECT_EQ(list.attributes.size(), 1u);
  EXPECT_EQ(list.triangles, 1);  // 10 floats: 3 whole vertices
  EXPECT_FALSE(list.freeData);
  ASSERT_TRUE(list.data);
  EXPECT_EQ(list.data[9], 5);
  EXPECT_EQ(list.program, gr_getProgram("p", "p"));
  EXPECT_EQ(vec4(list, "color"), glm::vec4(0));
  EXPECT_TRUE(!list.enableBlending && list.enableDepthTest && list.enableCulling);

  // Camera 1 ("ui"): the cached mesh, borrowed, position/normal/uv.
  ASSERT_EQ(frame.batches[1].size(), 1u);
  const Batch& quad = frame.batches[1][0];
  const model::Mesh& mesh = model::models["quad"].meshes[0];
  EXPECT_FALSE(quad.freeData);
  EXPECT_EQ(quad.data, mesh.vertices.data());
  EXPECT_EQ(quad.indices, mesh.indices.data());
  EXPECT_EQ(quad.indexCount, 6);
  ASSERT_TRUE(rendertest::attributeNamed(quad.attributes, "in_uv"));
  EXPECT_EQ(rendertest::attributeNamed(quad.attributes, "in_uv")->offset, 6);
  EXPECT_EQ(vec4(quad, "color"), glm::vec4(0, 0, 1, 1));
}

TEST_F(ModelPassBatches, ChildrenComposeTheNodeAndEveryAnimationOnTheWay) {
  model::Model& tree = model::models["tree"];
  animation::KeyFrame moved, scaled;
  moved.translation = glm::vec3(5, 0, 0);
  scaled.scale = glm::vec3(2, 2, 2);
  tree.animation.curves.push_back({{{0, moved}}, animation::TRANSLATION, {}});
  tree.meshes.push_back(quadMesh(glm::vec4(1)));
  tree.children.emplace_back();
  model::Model& child = tree.children.back();
  child.animation.curves.push_back({{{0, scaled}}, animation::SCALE, {}});
  child.meshes.emplace_back();  // no vertex data: no batch
  child.meshes.push_back(quadMesh(glm::vec4(1)));

  LuaState lua;
  lua.run("world = { camera = {}, { model = 'tree', x = 100, vs = 'pn', fs = 'pn',\n"
          "  uniforms = { color = {1, 0, 0, 1}, transform = 3 } } }\n");
  Frame frame(lua);
  ASSERT_EQ(frame.batches.at(0).size(), 2u);
  const Batch& root = frame.batches[0][0];
  const Batch& leaf = frame.batches[0][1];

  glm::mat4 node = glm::translate(glm::mat4(1.0f), glm::vec3(100, 0, 0));
  glm::mat4 rootTransform = node * glm::translate(glm::mat4(1.0f), glm::vec3(5, 0, 0));
  glm::mat4 leafTransform = rootTransform * glm::scale(glm::mat4(1.0f), glm::vec3(2));
  expectNear(matrix(root, "transform"), rootTransform);
  expectNear(matrix(leaf, "transform"), leafTransform);
  expectNear(matrix(root, "normalTransform"), glm::mat4(1.0f));
  expectNear(matrix(leaf, "normalTransform"), glm::scale(glm::mat4(1.0f), glm::vec3(0.5f)));
  EXPECT_EQ(vec4(leaf, "color"), glm::vec4(1, 0, 0, 1));
  EXPECT_EQ(leaf.program, gr_getProgram("pn", "pn"));
}

// Through the real executable: a 400 × 200 window, one plain camera, a grey
// background. An OBJ square on the left, a .mod square on the right (both lit
// by the shaders' fixed light: a normal facing the camera keeps 86 % of the
// colour), and two inline triangles in the middle, one without a colour.
TEST(ModelPass, ObjModAndInlineModelsAppearWhereTheirNodesAre) {
  GameFolder game;
  game.write("assets/models/square.obj",
             "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\nvn 0 0 1\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  std::vector<float> vertices;
  for (const auto& c : corners) vertices.insert(vertices.end(), {c[0], c[1], 0, 0, 0, 1, 0, 0});
  game.write("assets/models/tile.mod",
             ModBytes().u32(1).mesh(vertices, {0, 1, 2, 2, 3, 0}, {0, 1, 0, 1}).u32(0).u32(0).bytes);
  game.writeMain(
      "config = {width = 400, height = 200}\n"
      "clearColor = {red = 0.2, green = 0.2, blue = 0.2}\n"
      "local triangle = {-20,-20,0, 20,-20,0, 0,20,0}\n"
      "world = { camera = {},\n"
      "  { model = 'square', x = -100, scale = 40, uniforms = { color = {1, 0, 0, 1} } },\n"
      "  { model = 'tile', x = 100, scale = 40 },\n"
      "  { vertices = triangle, y = 50, uniforms = { color = {0, 0, 1, 1} } },\n"
      "  { vertices = triangle, y = -50 },\n"
      "  { model = 'ghost' },\n"
      "}\n");
  GameRun run = runFrames(game, 2, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(countLines(run.out, "Failed to parse mod ghost"), 1) << run.out;
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 400);

  const RGBA GREY = {51, 51, 51, 255};
  struct Probe {
    int x, y;
    RGBA colour;
  };
  const Probe probes[] = {
      {100, 100, {220, 0, 0, 255}}, {65, 65, {220, 0, 0, 255}}, {135, 135, {220, 0, 0, 255}},
      {55, 100, GREY},              {145, 100, GREY},
      {300, 100, {0, 220, 0, 255}}, {265, 135, {0, 220, 0, 255}}, {300, 145, GREY},
      {200, 55, {0, 0, 255, 255}},  {200, 25, GREY},
      {200, 155, GREY},  // the colourless triangle adds nothing
  };
  for (const Probe& p : probes)
    EXPECT_TRUE(near(shot.at(p.x, p.y), p.colour, 3))
        << "at (" << p.x << ", " << p.y << "): " << shot.at(p.x, p.y)[0] << " "
        << shot.at(p.x, p.y)[1] << " " << shot.at(p.x, p.y)[2];
}
