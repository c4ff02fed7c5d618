// The C++ entry point for static bodies (a tile map's collision outlines):
// checked like a script's shapes, simulated with the script's bodies, and
// gone with its owner node.
#include <gtest/gtest.h>

#include "core/nodefields.h"
#include "physics/step.h"
#include "physics/worlds.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
physics::ShapeSpec floorChain(std::vector<b2Vec2> points) {
  physics::ShapeSpec shape;
  shape.kind = physics::ShapeKind::CHAIN;
  shape.points = points;
  return shape;
}

double ballHeight(const LuaState& L) {
  L.run("height = ball.y");
  lua_getglobal(L, "height");
  double y = lua_tonumber(L, -1);
  lua_pop(L, 1);
  return y;
}
}  // namespace

TEST(PhysicsStaticBody, ShapesFromCppHoldBodiesAndGoWithTheirOwner) {
  LuaState L;
  L.run("ball = {body = {shape = 'circle', radius = 5}, y = 40}\n"
        "level = {physics = {}, {name = 'map', x = 0, y = -10}, ball}");
  L.pushGlobal("level");
  lua_rawgeti(L, -1, 1);
  std::string why;
  // A floor drawn left to right, solid from above; then one with a repeated point.
  EXPECT_TRUE(physics::addStaticBody(L, -2, -1, "map", {floorChain({{-100, 0}, {100, 0}})}, &why))
      << why;
  EXPECT_FALSE(physics::addStaticBody(L, -2, -1, "map", {floorChain({{0, 0}, {0, 0}})}, &why));
  lua_pop(L, 1);

  for (int frame = 0; frame < 90; ++frame) physics::step(L, 1.0 / 60);
  EXPECT_NEAR(ballHeight(L), -5, 0.5);  // resting on the floor at y = -10

  L.run("table.remove(level, 1)");  // the owner goes: the ball falls
  nodefields::invalidate();          // as the executable's calls into the script say
  for (int frame = 0; frame < 30; ++frame) physics::step(L, 1.0 / 60);
  EXPECT_LT(ballHeight(L), -20);
  lua_pop(L, 1);
  physics::reset(L);
}
