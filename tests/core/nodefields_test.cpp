// The scene walk's snapshots: inside the walk the readers give what reading
// the table would give, and script code that runs meanwhile is seen at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/luautils.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
// What the readers make of the node on top, as text.
std::string readAll(lua_State* L) {
  std::string out;
  for (const char* name : {"n", "s", "b", "f", "u", "missing", "enabled"}) {
    bool flag = false;
    getBool(L, name, &flag);
    int whole = -1;
    getNumber<int>(L, name, &whole);
    float number = -1;
    getNumber<float>(L, name, &number);
    std::string text = "?";
    bool isText = getString(L, name, text);
    luautils::pushField(L, -1, name);
    int type = lua_type(L, -1);
    lua_pop(L, 1);
    out += std::string(name) + "=" + std::to_string(flag) + "," + std::to_string(whole) + "," +
           std::to_string(number) + "," + std::to_string(isText) + text + "," +
           std::to_string(type) + ";";
  }
  return out;
}

const char* const SCENE =
    "calls = 0\n"
    "local function counted(n) calls = calls + 1; return 7 end\n"
    "world = {\n"
    "  { n = 2.9, s = 'text', b = true, u = newproxy(false) },\n"
    "  { n = '2.5', s = 12, b = 1, f = counted },\n"
    "  { n = -2.9, s = false, b = false, enabled = true, { n = 4 } },\n"
    "  setmetatable({}, { __index = function(t, k) return k == 'n' and 5 or nil end }),\n"
    "}\n";

// Reads every node in walk order, inside a walk and, the same nodes, outside.
std::vector<std::string> insideAndOutside(LuaState& lua, std::vector<std::string>* outside) {
  std::vector<std::string> inside;
  HandlerQueue enter;
  enter.push_back([&](lua_State* L) {
    inside.push_back(readAll(L));
    if (outside) {
      // The node again, as a copy no snapshot knows about, after the walk.
      lua_pushvalue(L, -1);
      lua_setfield(L, LUA_REGISTRYINDEX, ("node" + std::to_string(inside.size())).c_str());
    }
  });
  lua.pushGlobal("world");
  luautils::traverse(lua, enter);
  lua_pop(lua, 1);
  for (size_t i = 1; outside && i <= inside.size(); ++i) {
    lua_getfield(lua, LUA_REGISTRYINDEX, ("node" + std::to_string(i)).c_str());
    outside->push_back(readAll(lua));
    lua_pop(lua, 1);
  }
  return inside;
}
}  // namespace

TEST(WalkSnapshots, InsideTheWalkTheReadersAnswerAsTheTablesWould) {
  LuaState lua;
  lua.run(SCENE);
  std::vector<std::string> outside;
  std::vector<std::string> inside = insideAndOutside(lua, &outside);
  ASSERT_EQ(inside.size(), 6u);  // world, four nodes, one child
  EXPECT_EQ(inside, outside);
  // The function field was called once per resolving read, inside as
  // outside: four such readers, twice.
  lua.run("assert(calls == 8, calls)");
  EXPECT_EQ(lua_gettop(lua), 0);

  // Another interpreter interns the names again.
  LuaState other;
  other.run(SCENE);
  EXPECT_EQ(insideAndOutside(other, nullptr), inside);
}

TEST(WalkSnapshots, WhatScriptCodeChangesIsSeenAtOnce) {
  LuaState lua;
  lua.run("local function grow(node) node[1] = { x = 1, child = true }; return 3 end\n"
          "world = {\n"
          "  { x = 1, onUpdate = function(n) n.x = 5 end },\n"
          "  { x = 1, y = function(n) n.x = 6; return 2 end },\n"
          "  { x = 1, grow = grow },\n"
          "}");
  std::vector<float> seen;
  int children = 0;
  HandlerQueue enter;
  enter.push_back([&](lua_State* L) {
    float x = 0, y = 0, grown = 0;
    getNumber<float>(L, "y", &y);
    getNumber<float>(L, "x", &x);
    getNumber<float>(L, "grow", &grown);  // a function that adds a child
    seen.push_back(x);
    if (getBool(L, "child")) ++children;
  });
  // A later handler that takes the snapshot the walk hands it on entry: none
  // where the handler before ran script code.
  std::vector<float> later;
  std::vector<bool> held;
  enter.push_back([&](lua_State* L) {
    static const nodefields::Key X("x");
    float x = 0;
    getNumber<float>(L, nodefields::entered(), X, &x);
    later.push_back(x);
    held.push_back(nodefields::entered() != nullptr);
  });
  lua.pushGlobal("world");
  luautils::traverse(lua, enter);
  lua_pop(lua, 1);
  EXPECT_EQ(seen, (std::vector<float>{0, 5, 6, 1, 1}));
  EXPECT_EQ(children, 1) << "the child added during the visit is walked";
  EXPECT_EQ(later, seen) << "script code in the handler before is seen";
  EXPECT_EQ(held, (std::vector<bool>{true, true, false, false, true}));
  EXPECT_EQ(nodefields::entered(), nullptr) << "outside a node's handlers";
}
