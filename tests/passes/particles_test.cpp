// Particle systems: curves, emission and ageing over fixed time steps with the
// state kept in the scene, and the picture of emitters drawn through one frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "assets/resources.h"
#include "host/frameloop.h"
#include "passes/particles.h"
#include "render/transforms.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"

using namespace testsupport;

namespace {
// The curve under `key` of the global table `name`.
particles::Curve curveOf(LuaState& lua, const char* name, const char* key) {
  lua.pushGlobal(name);
  particles::Curve curve = particles::getCurve(lua, key, 7);
  lua_pop(lua, 1);
  return curve;
}

// Sprites on one uploaded 4 × 4 white sheet: each sprite's top-left u is its
// number (a stand-in for where it lies on the sheet).
class ParticlePass : public GLTest {
 protected:
  void SetUp() override {
    auto* sheet = new resources::Sheet{4, 4, static_cast<unsigned char*>(malloc(64)), 0};
    memset(sheet->data, 255, 64);
    sheet->texture = static_cast<int>(
        gr_createTexture(sheet->data, 4, 4, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1));
    resources::sheets.push_back(sheet);
    addSprite("bar", 8, 2, 0, sheet);
    addSprite("a", 4, 4, 1, sheet);
    addSprite("b", 4, 4, 2, sheet);
    addSprite("c", 4, 4, 3, sheet);
    addSprite("dot", 20, 20, 0, sheet);
  }
  void TearDown() override { resources::clear(); }

  static void addSprite(const char* name, int width, int height, float u0,
                        resources::Sheet* sheet) {
    resources::Sprite sprite;
    sprite.sheet = sheet;
    sprite.width = width;
    sprite.height = height;
    const float uv[4][2] = {{u0, 0}, {1, 0}, {1, 1}, {0, 1}};
    memcpy(sprite.uv, uv, sizeof uv);
    resources::sprites[name] = sprite;
  }

  // The transform and particle passes and the scene walk over `world`: each
  // camera's batches. The vertex blocks go with the next draw().
  BatchMatrix frame(LuaState& lua, float dtMs) {
    lua.pushGlobal("world");
    HandlerQueue enter;
    BatchMatrix batches;
    transforms::prepare(lua, enter);
    particles::prepare(lua, enter, batches, dtMs);
    frameloop::traverse(lua, enter);
    lua_pop(lua, 1);
    EXPECT_EQ(lua_gettop(lua), 0);
    return batches;
  }
  static void draw(BatchMatrix& batches) { gr_renderBatches(std::move(batches)); }
};
}  // namespace

TEST(ParticleCurve, NumbersAreConstantFunctionsAreSampledAndBadValuesFallBack) {
  LuaState lua;
  lua.run(
      "seen = {}\n"
      "p = { three = '3', twice = function(t, tbl) seen[#seen + 1] = tbl; return 2 * t end,\n"
      "      broken = function(t) if t > 0.5 then error('no') end return 0 / 0 end,\n"
      "      other = true }");
  particles::Curve three = curveOf(lua, "p", "three");
  for (float t : {0.0f, 0.4f, 1.0f}) EXPECT_FLOAT_EQ(particles::sampleCurve(three, t), 3);

  particles::Curve twice = curveOf(lua, "p", "twice");
  EXPECT_FLOAT_EQ(twice.min, 0);
  EXPECT_FLOAT_EQ(twice.max, 2);
  EXPECT_NEAR(particles::sampleCurve(twice, 0.5f), 1.0f, 1e-3);
  EXPECT_NEAR(particles::sampleCurve(twice, 1.0f), 2.0f, 1e-3);
  lua.run("assert(#seen == 32 and seen[1] == p and seen[32] == p)");

  // NaN and errors count as 0; anything else keeps the default.
  particles::Curve broken = curveOf(lua, "p", "broken");
  EXPECT_EQ(broken.min, 0);
  EXPECT_EQ(broken.max, 0);
  EXPECT_FLOAT_EQ(particles::sampleCurve(curveOf(lua, "p", "other"), 0.5f), 7);
  EXPECT_FLOAT_EQ(particles::sampleCurve(curveOf(lua, "p", "missing"), 0.5f), 7);
  EXPECT_EQ(lua_gettop(lua), 0);
}

TEST_F(ParticlePass, EmitsAtItsFrequencyAgesAndDropsParticlesOncePerFrameForAllCameras) {
  LuaState lua;
  lua.run(
      "slots = {}\n"
      "world = { camera = {}, { camera = {} },\n"
      "  { x = 10, particles = { frequency = 10, sprite = 'bar',\n"
      "    emit = function(p, slot)\n"
      "      slots[#slots + 1] = slot\n"
      "      return { lifeTime = 0.3, x = 5, rotation = math.pi / 2,\n"
      "               alpha = function(t) return 1 - t end }\n"
      "    end } } }");
  // 250 ms at 10 per second: two emissions, 0.05 s carried over. Both cameras
  // see the same two particles.
  BatchMatrix batches = frame(lua, 250);
  ASSERT_EQ(batches.size(), 2u);
  for (auto& camera : batches) {
    ASSERT_EQ(camera.size(), 1u);
    EXPECT_EQ(camera[0].triangles, 4);
    EXPECT_EQ(camera[0].getStride(), 9);
    // Corner (-4, 1) of the 8 × 2 bar turned a quarter (radians) and moved to 15.
    EXPECT_NEAR(camera[0].data[0], 14, 1e-4);
    EXPECT_NEAR(camera[0].data[1], -4, 1e-4);
    EXPECT_FLOAT_EQ(camera[0].data[8], 1);  // alpha at age 0
  }
  draw(batches);
  lua.run("assert(#slots == 2 and slots[1] == 0 and slots[2] == 1)\n"
          "state = world[2].particles.__particles");

  // One more; the first two are 0.25 s old, alpha 1 - 0.25 / 0.3.
  batches = frame(lua, 100);
  EXPECT_EQ(batches[0][0].triangles, 6);
  EXPECT_NEAR(batches[0][0].data[8], 1 - 0.25 / 0.3, 1e-3);
  draw(batches);

  // The first two have reached their 0.3 s and are gone.
  batches = frame(lua, 100);
  EXPECT_EQ(batches[0][0].triangles, 4);
  EXPECT_EQ(batches[1][0].triangles, 4);
  draw(batches);
  lua.run("assert(#slots == 4 and slots[4] == 3)\n"
          "assert(rawequal(state, world[2].particles.__particles))");
}

TEST_F(ParticlePass, UnusableScriptValuesEmitNothingAndFloodsAreCappedAtTheRing) {
  LuaState lua;
  lua.run(
      "calls, last, wrapped = 0, -1, -1\n"
      "local function ok() return { lifeTime = 1 } end\n"
      "world = { camera = {},\n"
      "  { particles = { frequency = 1e9, sprite = 'dot',\n"
      "      emit = function(p, slot)\n"
      "        calls = calls + 1; last = slot\n"
      "        if calls == 4097 then wrapped = slot end\n"
      "        return { lifeTime = 1 } end } },\n"
      "  { particles = { frequency = 100, sprite = 'dot' } },\n"
      "  { particles = { frequency = 100, sprite = 'dot', emit = function() return 'x' end } },\n"
      "  { particles = { frequency = 100, sprite = 'dot', emit = function() error('no') end } },\n"
      "  { particles = { frequency = 100, sprite = 'dot', emit = function() return {} end } },\n"
      "  { particles = { frequency = -5, sprite = 'dot', emit = ok } },\n"
      "  { particles = { frequency = 100, sprite = 'dot', emit = ok } },\n"
      "  { particles = { frequency = 100, sprites = {}, emit = ok } },\n"
      "  { particles = 'not a table' },\n"
      "}");
  testing::internal::CaptureStdout();
  BatchMatrix batches = frame(lua, 16);
  draw(batches);
  lua.run("world[7].particles.frequency = nil");
  batches = frame(lua, 16);
  std::string log = testing::internal::GetCapturedStdout();

  ASSERT_EQ(batches[0].size(), 8u);
  // A ring's worth per frame; the second frame wraps to slot 0 and ends on 4095.
  EXPECT_EQ(batches[0][0].triangles, 2 * particles::PARTICLE_COUNT);
  lua.run("assert(calls == 8192 and wrapped == 0 and last == 4095)");
  for (size_t i = 1; i < 6; ++i) EXPECT_EQ(batches[0][i].triangles, 0) << "emitter " << i;
  EXPECT_EQ(batches[0][6].triangles, 2);  // its frequency went: only the first frame's
  // No sprite names: the stand-in, missing too, draws empty quads from no sheet.
  EXPECT_EQ(batches[0][7].triangles, 6);
  EXPECT_NE(log.find("Couldn't find sprite \"blockerSad\"\n"), std::string::npos);
  draw(batches);
}

TEST_F(ParticlePass, ASteppedSpriteCurveShowsEveryStepAndIndicesStayInTheList) {
  LuaState lua;
  lua.run(
      "world = { camera = {},\n"
      "  { particles = { frequency = 1, sprites = {'a', 'b', 'c'}, emit = function()\n"
      "      return { lifeTime = 4 / 3, sprite = function(t) return math.floor(t * 2) end } end } },\n"
      "  { particles = { frequency = 1, sprites = {'a', 'b', 'c'}, emit = function()\n"
      "      return { lifeTime = 2, sprite = 7 } end } } }");
  BatchMatrix batches = frame(lua, 1001);
  EXPECT_FLOAT_EQ(batches[0][0].data[3], 1);  // "a" at age 0
  EXPECT_FLOAT_EQ(batches[0][1].data[3], 3);  // "c", the last one
  draw(batches);
  // Age 1.001 s of 4/3: the middle step, stored just below 1 (a range of 2 is
  // not a whole number of quanta).
  batches = frame(lua, 100);
  EXPECT_FLOAT_EQ(batches[0][0].data[3], 2);
  draw(batches);
}

TEST_F(ParticlePass, EmittersDrawTheirSpritesWithTheNodesColour) {
  LuaState lua;
  lua.run(
      "clearColor = { red = 0, green = 0, blue = 0 }\n"
      "world = { camera = {},\n"
      "  { x = -60, particles = { frequency = 100, sprite = 'dot',\n"
      "      emit = function() return { lifeTime = 5 } end } },\n"
      "  { x = 60, uniforms = { color = {0, 1, 0, 1} }, particles = { frequency = 100,\n"
      "      sprite = 'dot', emit = function() return { lifeTime = 5, scale = 2 } end } } }");
  frameloop::runFrame(lua, 16);
  // Window centre (160, 120): a white 20 × 20 quad at x 100 and a green
  // 40 × 40 one at x 220.
  EXPECT_TRUE(near(pixel(100, 120), {255, 255, 255, 255})) << pixel(100, 120)[0];
  EXPECT_TRUE(near(pixel(115, 120), {0, 0, 0, 255}));
  EXPECT_TRUE(near(pixel(235, 120), {0, 255, 0, 255})) << pixel(235, 120)[1];
  EXPECT_TRUE(near(pixel(245, 120), {0, 0, 0, 255}));
  EXPECT_TRUE(near(pixel(220, 135), {0, 255, 0, 255}));
}
