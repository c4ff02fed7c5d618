// Uniform values and shader names read from scene nodes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "assets/resources.h"
#include "scene/renderutils.h"
#include "support/capture.h"
#include "support/lua_state.h"

using testsupport::LuaState;
using UniformMap = std::map<std::string, Uniform>;

namespace {
// getUniforms of the global `node` after running `code`, checking the stack.
UniformMap uniformsOf(LuaState& lua, const std::string& code) {
  lua.run(code);
  lua.pushGlobal("node");
  UniformMap uniforms = renderutils::getUniforms(lua);
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);
  return uniforms;
}

std::vector<float> floatsOf(const Uniform& uniform) {
  const float* values = static_cast<const float*>(uniform.value);
  return std::vector<float>(values, values + uniform.size / sizeof(float));
}

GLuint textureOf(const Uniform& uniform) {
  EXPECT_EQ(uniform.size, 4u);
  return *static_cast<const GLuint*>(uniform.value);
}

std::vector<std::string> namesOf(const UniformMap& uniforms) {
  std::vector<std::string> names;
  for (const auto& entry : uniforms) names.push_back(entry.first);
  return names;
}
}  // namespace

TEST(Uniforms, TheUniformsTableWinsAndTablesBecomeFloatArrays) {
  LuaState lua;
  UniformMap u = uniformsOf(lua,
                            "node = { u_alpha = 0.5, uniforms = {\n"
                            "  tint = { 1, 0.5, 0, 1 }, u_alpha = 1, mixed = { 1, '2', 'x' },\n"
                            "  m = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 } } }");
  EXPECT_EQ(namesOf(u), (std::vector<std::string>{"m", "mixed", "tint", "u_alpha"}));
  EXPECT_EQ(floatsOf(u["u_alpha"]), (std::vector<float>{1}));
  EXPECT_EQ(floatsOf(u["tint"]), (std::vector<float>{1, 0.5f, 0, 1}));
  EXPECT_EQ(floatsOf(u["mixed"]), (std::vector<float>{1, 2, 0}));
  ASSERT_EQ(u["m"].size, 64u);
  // Column-major, as a mat4 uniform reads it: the fifth number opens column 1.
  const float* m = static_cast<const float*>(u["m"].value);
  EXPECT_EQ(m[4], 5);
  EXPECT_EQ(m[15], 16);
}

TEST(Uniforms, FunctionsAreCalledWithTheNodeUntilAValueComesBack) {
  LuaState lua;
  UniformMap u = uniformsOf(
      lua,
      "seen = {}\n"
      "local function note(n) seen[#seen + 1] = n end\n"
      "node = { u_a = function(n) note(n); return 2 end,\n"
      "  uniforms = function(n) note(n); return {\n"
      "    b = function(n) note(n); return function(m) note(m); return 2 end end,\n"
      "    c = { function(n) note(n); return 3 end, 4 } } end }");
  EXPECT_EQ(floatsOf(u["u_a"]), (std::vector<float>{2}));
  EXPECT_EQ(floatsOf(u["b"]), (std::vector<float>{2}));
  EXPECT_EQ(floatsOf(u["c"]), (std::vector<float>{3, 4}));
  lua.run("assert(#seen == 5); for _, n in ipairs(seen) do assert(n == node) end");
}

TEST(Uniforms, OnlyStringKeysWithTheExactPrefixAndConvertibleValuesCount) {
  LuaState lua;
  UniformMap u = uniformsOf(lua,
                            "node = { user_name = 1, u_flag = true, U_x = 1, u = 1, u_ = 3,\n"
                            "  [1] = 4, [2.5] = 5, u_b = 6,\n"
                            "  uniforms = { 10, 11, [2.5] = 12, [true] = 13, a = 14, z = 15,\n"
                            "               none = false, [{}] = 16, y = 17 } }");
  EXPECT_EQ(namesOf(u), (std::vector<std::string>{"a", "u_", "u_b", "y", "z"}));
}

TEST(SamplerUniforms, TexturesWinOverRenderTargetsAndUnknownNamesSampleNothing) {
  LuaState lua;
  renderTargets["glow"].texture = 7;
  renderTargets["halo"].texture = 8;
  resources::Sheet halo;
  halo.texture = 9;
  resources::textures["halo"] = &halo;

  UniformMap u;
  std::string log = testsupport::captureOutput([&] {
    u = uniformsOf(lua,
                   "node = { u_err = function() error('boom', 0) end,\n"
                   "  uniforms = { mask = 'glow', aura = 'halo', gone = 'nowhere' } }");
  });
  EXPECT_EQ(textureOf(u["mask"]), 7u);
  EXPECT_EQ(textureOf(u["aura"]), 9u);
  EXPECT_EQ(textureOf(u["gone"]), 0u);
  // A failing function's message is taken for a texture name.
  EXPECT_EQ(textureOf(u["u_err"]), 0u);
  EXPECT_NE(log.find("Failed to find texture nowhere for uniform gone\n"), std::string::npos);
  EXPECT_NE(log.find("Failed to find texture boom for uniform u_err\n"), std::string::npos);

  resources::textures.clear();
  renderTargets.clear();
}

TEST(Uniforms, ReadUniformConvertsThePairOnTopAndReplacesEarlierValues) {
  LuaState lua;
  UniformMap u;
  renderutils::addUniform(u, "size", 4, calloc(1, 4));
  // Functions get the traversed table below the pair; a number key makes nothing.
  lua.run("owner = { scale = 3 }; f = function(t) return t.scale end");
  lua.pushGlobal("owner");
  lua_pushstring(lua, "size");
  lua.pushGlobal("f");
  renderutils::readUniform(lua, u);
  lua_pushnumber(lua, 1);
  lua_pushnumber(lua, 2);
  renderutils::readUniform(lua, u);
  EXPECT_EQ(lua_gettop(lua), 5);
  EXPECT_EQ(u.size(), 1u);
  EXPECT_EQ(floatsOf(u["size"]), (std::vector<float>{3}));
}
