// Particle systems: emission, curves and ageing over fixed time steps with the
// state kept in the scene, and emitters drawn through one real frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "assets/resources.h"
#include "core/runstate.h"
#include "scene/clearing.h"
#include "scene/particles.h"
#include "scene/transforms.h"
#include "support/capture.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"

using namespace testsupport;

namespace {
// Sprites on one uploaded 4 × 4 white sheet; a sprite's top-left u tells which
// sprite a quad shows.
class ParticlePass : public GLTest {
 protected:
  void SetUp() override {
    screenWidth = designWidth = WIDTH;
    screenHeight = designHeight = HEIGHT;
    auto* sheet = new resources::Sheet{4, 4, static_cast<unsigned char*>(malloc(64)), 0};
    memset(sheet->data, 255, 64);
    sheet->texture = static_cast<int>(
        gr_createTexture(sheet->data, 4, 4, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1));
    resources::sheets.push_back(sheet);
    const std::pair<const char*, float> sprites[] = {{"a", 1}, {"b", 2}, {"c", 3}};
    for (auto& entry : sprites)
      resources::sprites[entry.first] = {sheet, 4, 4, {{entry.second, 0}, {1, 0}, {1, 1}, {0, 1}}};
    resources::sprites["bar"] = {sheet, 8, 2, {}};
    resources::sprites["dot"] = {sheet, 20, 20, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
  }
  void TearDown() override { resources::clear(); }

  // The transform and particle passes and the scene walk over `world`; the
  // batches' vertices live in their lists.
  static BatchMatrix frame(LuaState& lua, float dtMs) {
    lua.pushGlobal("world");
    HandlerQueue enter;
    BatchMatrix batches;
    transforms::prepare(lua, enter);
    particles::prepare(lua, enter, batches, dtMs);
    luautils::traverse(lua, enter);
    lua_pop(lua, 1);
    EXPECT_EQ(lua_gettop(lua), 0);
    return batches;
  }
  static void draw(BatchMatrix& batches) { gr_renderBatches(batches); }
  // One frame drawn as the frame loop draws it: the window cleared first.
  static void show(LuaState& lua, float dtMs) {
    BatchMatrix batches = frame(lua, dtMs);
    lua.pushGlobal("world");
    clearing::clearFrame(lua);
    lua_pop(lua, 1);
    draw(batches);
  }
};
}  // namespace

TEST_F(ParticlePass, EmitsAtItsFrequencyAgesAndDropsParticlesOncePerFrameForAllCameras) {
  LuaState lua;
  lua.run("slots = {}\n"
          "world = { camera = {}, { camera = {} },\n"
          "  { x = 10, particles = { frequency = 10, sprite = 'bar', emit = function(p, slot)\n"
          "      slots[#slots + 1] = slot\n"
          "      return { lifeTime = 0.3, x = '5', rotation = math.pi / 2,\n"
          "               alpha = function(t) return 1 - t end,\n"
          "               y = function() return 0 / 0 end, z = function() error('z') end }\n"
          "    end } } }");
  // 250 ms at 10 a second: two emissions, 0.05 s carried over; both cameras
  // see the same two particles.
  BatchMatrix batches = frame(lua, 250);
  ASSERT_EQ(batches.size(), 2u);
  for (auto& camera : batches) {
    ASSERT_EQ(camera.size(), 1u);
    EXPECT_EQ(camera[0].triangles, 4);
    // Corner (-4, 1) of the 8 × 2 bar turned a quarter turn, moved to x 15.
    EXPECT_NEAR(camera[0].data[0], 14, 1e-4);
    EXPECT_NEAR(camera[0].data[1], -4, 1e-4);
    EXPECT_EQ(camera[0].data[2], 0);  // NaN and errors from curve functions count as 0
    EXPECT_FLOAT_EQ(camera[0].data[8], 1);  // alpha at age 0
  }
  draw(batches);
  lua.run("assert(#slots == 2 and slots[2] == 1)\n"
          "state = world[2].particles.__particles");

  batches = frame(lua, 100);  // one more; the first two are 0.25 s old
  EXPECT_EQ(batches[0][0].triangles, 6);
  EXPECT_NEAR(batches[0][0].data[8], 1 - 0.25 / 0.3, 1e-3);
  draw(batches);
  batches = frame(lua, 100);  // the first two have reached 0.3 s
  EXPECT_EQ(batches[1][0].triangles, 4);
  draw(batches);
  lua.run("assert(#slots == 4 and slots[4] == 3)\n"
          "assert(rawequal(state, world[2].particles.__particles))");
}

TEST_F(ParticlePass, UnusableScriptValuesEmitNothingAndFloodsAreCappedAtTheRing) {
  LuaState lua;
  lua.run("calls, wrapped = 0, -1\n"
          "local function ok() return { lifeTime = 1 } end\n"
          "world = { camera = {},\n"
          "  { particles = { frequency = 1e9, sprite = 'dot', emit = function(p, slot)\n"
          "      calls = calls + 1\n"
          "      if calls == 4097 then wrapped = slot end\n"
          "      return { lifeTime = 1 } end } },\n"
          "  { particles = { frequency = 100, sprite = 'dot' } },\n"
          "  { particles = { frequency = 100, sprite = 'dot', emit = function() error('x') end } },\n"
          "  { particles = { frequency = 100, sprite = 'dot', emit = function() return {} end } },\n"
          "  { particles = { frequency = 100, sprite = 'dot', emit = ok } },\n"
          "  { particles = { frequency = 100, sprites = {}, emit = ok } },\n"
          "  { particles = 'not a table' } }");
  BatchMatrix batches;
  std::string log = testsupport::captureOutput([&] {
    batches = frame(lua, 16);
    draw(batches);
    lua.run("world[5].particles.frequency = nil");
    batches = frame(lua, 16);
  });

  ASSERT_EQ(batches[0].size(), 6u);
  // A ring's worth a frame; the second frame starts again at slot 0.
  EXPECT_EQ(batches[0][0].triangles, 2 * particles::PARTICLE_COUNT);
  lua.run("assert(calls == 8192 and wrapped == 0)");
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(batches[0][i].triangles, 0) << "emitter " << i;
  EXPECT_EQ(batches[0][4].triangles, 2);  // none after its frequency went
  // No sprite names: the stand-in, missing too, gives empty quads and no sheet.
  EXPECT_EQ(batches[0][5].triangles, 6);
  EXPECT_NE(log.find("Couldn't find sprite \"blockerSad\"\n"), std::string::npos);
  draw(batches);
}

TEST_F(ParticlePass, ASteppedSpriteCurveShowsEveryStepAndIndicesStayInTheList) {
  LuaState lua;
  lua.run("local function emitter(sprite)\n"
          "  return { particles = { frequency = 1, sprites = {'a', 'b', 'c'},\n"
          "    emit = function() return { lifeTime = 4 / 3, sprite = sprite } end } }\n"
          "end\n"
          "world = { camera = {}, emitter(function(t) return math.floor(t * 2) end),\n"
          "  emitter(7) }");
  BatchMatrix batches = frame(lua, 1001);
  EXPECT_FLOAT_EQ(batches[0][0].data[3], 1);  // "a" at age 0
  EXPECT_FLOAT_EQ(batches[0][1].data[3], 3);  // 7 is past the end: "c"
  draw(batches);
  // At 1.001 s of 4/3 the curve is 1, stored just below it (2 is not a whole
  // number of quanta): still "b".
  batches = frame(lua, 100);
  EXPECT_FLOAT_EQ(batches[0][0].data[3], 2);
  draw(batches);
}

TEST_F(ParticlePass, EmittersDrawTheirSpritesWithTheNodesColour) {
  LuaState lua;
  lua.run("clearColor = { red = 0, green = 0, blue = 0 }\n"
          "local function life() return { lifeTime = 5, scale = 2 } end\n"
          "world = { camera = {},\n"
          "  { x = -60, particles = { frequency = 100, sprite = 'dot', emit = life } },\n"
          "  { x = 60, uniforms = { color = {0, 1, 0, 1} },\n"
          "    particles = { frequency = 100, sprite = 'dot', emit = life } } }");
  show(lua, 16);
  // 40 × 40 quads around window x 100 (white) and 220 (green), y 120.
  EXPECT_TRUE(near(pixel(115, 130), {255, 255, 255, 255}));
  EXPECT_TRUE(near(pixel(235, 110), {0, 255, 0, 255}));
  for (int x : {75, 125, 160, 195, 245}) EXPECT_TRUE(near(pixel(x, 120), {0, 0, 0, 255})) << x;
}

// Colour curves reach the vertex colour: a white sprite whose red falls from 1
// to 0 over its life turns from white to cyan.
TEST_F(ParticlePass, RedGreenAndBlueCurvesColourTheQuads) {
  LuaState lua;
  lua.run("clearColor = { red = 0, green = 0, blue = 0 }\n"
          "world = { camera = {},\n"
          "  { particles = { frequency = 1, sprite = 'dot', emit = function()\n"
          "      return { lifeTime = 2, red = function(t) return 1 - t end, blue = '0.5' } end } } }");
  BatchMatrix batches = frame(lua, 1001);  // one emission, age 0
  ASSERT_EQ(batches[0][0].triangles, 2);
  const float* colour = batches[0][0].data + 5;
  EXPECT_FLOAT_EQ(colour[0], 1);
  EXPECT_FLOAT_EQ(colour[1], 1);  // green defaults to 1
  EXPECT_FLOAT_EQ(colour[2], 0.5f);
  draw(batches);

  LuaState shown;
  shown.run("clearColor = { red = 0, green = 0, blue = 0 }\n"
            "world = { camera = {},\n"
            "  { particles = { frequency = 1, sprite = 'dot', emit = function()\n"
            "      return { lifeTime = 2, red = function(t) return 1 - t end } end } } }");
  show(shown, 1001);
  EXPECT_TRUE(near(pixel(160, 120), {255, 255, 255, 255}));
  show(shown, 980);  // ages by the previous step: half its life
  show(shown, 16);   // 1.981 s of 2
  EXPECT_TRUE(near(pixel(160, 120), {0, 255, 255, 255}, 3));
}

// In world space a particle stays where its emitter was when it was emitted.
TEST_F(ParticlePass, WorldSpaceParticlesStayBehindAMovingEmitter) {
  LuaState lua;
  lua.run("local function emitter(space)\n"
          "  return { x = 10, particles = { frequency = 10, sprite = 'dot', space = space,\n"
          "    emit = function() return { lifeTime = 10 } end } }\n"
          "end\n"
          "world = { camera = {}, emitter('world'), emitter(nil) }");
  BatchMatrix batches = frame(lua, 101);
  draw(batches);
  lua.run("world[1].x = 100; world[2].x = 100");
  batches = frame(lua, 101);
  // First corners (x - 10) of the 20 × 20 quads: the first particle, then the new one.
  ASSERT_EQ(batches[0].size(), 2u);
  const Batch& world = batches[0][0];
  const Batch& local = batches[0][1];
  ASSERT_EQ(world.triangles, 4);
  ASSERT_EQ(local.triangles, 4);
  EXPECT_FLOAT_EQ(world.data[0], 0);
  EXPECT_FLOAT_EQ(world.data[6 * 9], 90);
  EXPECT_FLOAT_EQ(local.data[0], 90);
  EXPECT_FLOAT_EQ(local.data[6 * 9], 90);
  draw(batches);
}

TEST_F(ParticlePass, ABurstAppearsInTheFrameItIsAskedForAndFiresOnce) {
  LuaState lua;
  lua.run("emitter = { particles = { sprite = 'dot', emit = function() return { lifeTime = 1 } end } }\n"
          "world = { camera = {}, emitter }");
  BatchMatrix batches = frame(lua, 16);
  EXPECT_EQ(batches[0][0].triangles, 0);  // no frequency: it rests
  draw(batches);
  lua.run("emitter.particles.burst = 200");
  batches = frame(lua, 16);
  EXPECT_EQ(batches[0][0].triangles, 2 * 200);
  draw(batches);
  lua.run("assert(emitter.particles.burst == nil)\n"
          "emitter.particles.frequency = 100\n"
          "emitter.particles.burst = 1e9");  // capped at a ring's worth, beside the frequency
  batches = frame(lua, 16);
  EXPECT_EQ(batches[0][0].triangles, 2 * particles::PARTICLE_COUNT);
  draw(batches);
  lua.run("emitter.particles.burst = 'lots'");  // not a number: dropped
  batches = frame(lua, 16);
  EXPECT_EQ(batches[0][0].triangles, 2 * particles::PARTICLE_COUNT);
  lua.run("assert(emitter.particles.burst == nil)");
  draw(batches);
}
