// Node world matrices through the real transform pass and scene walk, the two
// composition orders, and what happens when a caller breaks the stack layout.
#include <gtest/gtest.h>

#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/scene_test_util.h"
#include "scene/transforms.h"
#include "support/lua_state.h"

using scenetest::apply;
using scenetest::expectNear;
using testsupport::LuaState;

namespace {
const glm::mat4 I(1.0f);
const glm::vec3 Z(0, 0, 1);

float radians(float degrees) {
  return static_cast<float>(static_cast<double>(degrees / 180.0f) * 3.141592653589793);
}

// One frame's transform pass and walk, with `world` alone on the stack as the
// frame loop has it.
void walkWorld(lua_State* L) {
  ASSERT_EQ(lua_gettop(L), 0);
  lua_getglobal(L, "world");
  HandlerQueue enter;
  transforms::prepare(L, enter);
  luautils::traverse(L, enter);
  EXPECT_EQ(lua_gettop(L), 1);
  lua_pop(L, 1);
}

// getTransform of the value of the Lua expression `expression`.
glm::mat4 transformOf(LuaState& lua, const std::string& expression) {
  lua.run("probe = " + expression);
  lua.pushGlobal("probe");
  glm::mat4 m = transforms::getTransform(lua);
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);
  return m;
}

// createTransform of the global `node` onto the identity, read back.
glm::mat4 placeNode(LuaState& lua) {
  lua.pushGlobal("node");
  transforms::createTransform(lua, I);
  glm::mat4 m = transforms::getTransform(lua);
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);
  return m;
}

// Runs the transform handler on a stack built by `code`, which leaves the values
// in the global list `stack` (the node last); returns the node's matrix.
glm::mat4 handlerOn(LuaState& lua, const std::string& code) {
  lua.run(code);
  lua.run("unpackStack = function() return unpack(stack) end");
  lua_getglobal(lua, "unpackStack");
  lua_call(lua, 0, LUA_MULTRET);
  int top = lua_gettop(lua);
  HandlerQueue enter;
  transforms::prepare(lua, enter);
  enter.front()(lua);
  EXPECT_EQ(lua_gettop(lua), top);
  glm::mat4 m = transforms::getTransform(lua);
  lua_settop(lua, 0);
  return m;
}
}  // namespace

TEST(TransformPass, EveryWalkedNodeCarriesItsWorldMatrixUpdatedInPlace) {
  LuaState lua;
  lua.run(
      "world = { x = 10,\n"
      "  { x = 5, {}, { y = 2, rotation = 90, { x = 1 } } },\n"
      "  { enabled = false, x = 3 },\n"
      "  hud = { x = 7 } }");
  walkWorld(lua);

  expectNear(transformOf(lua, "world"), glm::translate(I, {10, 0, 0}));
  expectNear(transformOf(lua, "world[1]"), glm::translate(I, {15, 0, 0}));
  expectNear(transformOf(lua, "world[1][1]"), glm::translate(I, {15, 0, 0}));
  glm::mat4 turned = glm::rotate(glm::translate(I, {15, 2, 0}), radians(90), Z);
  expectNear(transformOf(lua, "world[1][2]"), turned);
  expectNear(transformOf(lua, "world[1][2][1]"), glm::translate(turned, {1, 0, 0}));
  expectNear(apply(transformOf(lua, "world[1][2][1]"), {0, 0, 0}), {15, 3, 0});
  // Neither a disabled child nor a table under a string key is walked.
  lua.run("assert(world[2].__transform == nil and world.hud.__transform == nil)");

  lua.run("first = world[1].__transform; world.x = 20");
  walkWorld(lua);
  lua.run("assert(world[1].__transform == first)");
  expectNear(transformOf(lua, "world[1]"), glm::translate(I, {25, 0, 0}));
}

TEST(TransformPass, ChildIsPlacedInsideItsScaledParent) {
  LuaState lua;
  lua.run("world = { scale = 2, { rotation = 90, x = 1 } }");
  walkWorld(lua);
  expectNear(apply(transformOf(lua, "world[1]"), {1, 0, 0}), {2, 2, 0});
}

TEST(CreateTransform, RotationZOverridesRotationAndAnglesConvertInFloatThenDouble) {
  LuaState lua;
  lua.run("node = { rotation = 30, rotationZ = 45 }");
  expectNear(placeNode(lua), glm::rotate(I, glm::radians(45.0f), Z));

  // The angle is divided by 180 in float and multiplied by pi in double. For 17
  // degrees that differs from a float product in the last bit, which shows
  // exactly in the rotation's cosine and sine (no other arithmetic touches them).
  lua.run("node = { rotationZ = 17 }");
  glm::mat4 m = placeNode(lua);
  EXPECT_EQ(m[0][0], std::cos(radians(17)));
  EXPECT_EQ(m[0][1], std::sin(radians(17)));
  EXPECT_NE(radians(17), glm::radians(17.0f));
}

TEST(CompositionOrders, CreateScalesBeforeRotatingAndCalcRotatesBeforeScaling) {
  LuaState lua;
  lua.run("node = { scaleX = 2, rotation = 90 }");
  expectNear(apply(placeNode(lua), {1, 0, 0}), {0, 2, 0});

  lua.pushGlobal("node");
  expectNear(apply(transforms::calcTransform(lua), {1, 0, 0}), {0, 1, 0});
  lua_pop(lua, 1);
}

TEST(GetTransform, ForeignOrMissingValuesGiveIdentityAndAreNeverWrittenInto) {
  LuaState lua;
  // A table never walked stays untouched.
  lua.run("node = { x = 4 }");
  expectNear(transformOf(lua, "node"), I);
  lua.run("assert(node.__transform == nil)");
  // Script values under the field, a zero-sized userdata among them, are not
  // read as matrices; createTransform replaces them instead of writing into them.
  for (const char* value : {"newproxy(true)", "io.stdout", "{ 1, 2 }", "5"}) {
    lua.run(std::string("node = { x = 4, __transform = ") + value + " }; old = node.__transform");
    expectNear(transformOf(lua, "node"), I);
    expectNear(placeNode(lua), glm::translate(I, {4, 0, 0}));
    lua.run("assert(node.__transform ~= old and type(node.__transform) == 'userdata')");
  }
  lua.run("io.stdout:write('')");
  expectNear(transformOf(lua, "42"), I);
}

TEST(StackLayout, HandlerFindsTheParentOnlyWhereTheWalkPutsIt) {
  LuaState lua;
  lua.run("parent = { x = 10 }; node = { x = 5 }");
  // The root composes onto the identity.
  expectNear(handlerOn(lua, "stack = { parent }"), glm::translate(I, {10, 0, 0}));
  // A first-level node composes onto its parent's stored matrix.
  expectNear(handlerOn(lua, "stack = { parent, 1, node }"), glm::translate(I, {15, 0, 0}));
  // Too short for a parent, or no table where the parent belongs: the identity.
  expectNear(handlerOn(lua, "stack = { 7, node }"), glm::translate(I, {5, 0, 0}));
  expectNear(handlerOn(lua, "stack = { 7, 'k', node }"), glm::translate(I, {5, 0, 0}));
}

TEST(StackLayout, CalcTransformComposesTheChainCountedFromTheTop) {
  LuaState lua;
  lua.run("root = { x = 10, scale = 2 }; child = { y = 1 }; extra = { x = 1000 }");
  glm::mat4 rootMatrix = glm::scale(glm::translate(I, {10, 0, 0}), {2, 2, 2});
  glm::mat4 both = glm::translate(rootMatrix, {0, 1, 0});
  struct Case {
    const char* stack;
    glm::mat4 expected;
  };
  for (const Case& c : {Case{"{ root }", rootMatrix}, Case{"{ root, 1, child }", both},
                        Case{"{ extra, root, 1, child }", both},
                        Case{"{ 'x', 1, child }", glm::translate(I, {0, 1, 0})}}) {
    SCOPED_TRACE(c.stack);
    lua.run(std::string("stack = ") + c.stack);
    lua.run("unpackStack = function() return unpack(stack) end");
    lua_getglobal(lua, "unpackStack");
    lua_call(lua, 0, LUA_MULTRET);
    int top = lua_gettop(lua);
    expectNear(transforms::calcTransform(lua), c.expected);
    EXPECT_EQ(lua_gettop(lua), top);
    lua_settop(lua, 0);
  }
  expectNear(transforms::calcTransform(lua), I);
}
