// The scene-table helpers against real interpreter tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "core/luautils.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
// Runs `code`, pushes the global `node` and checks the stack is balanced by
// whatever `body` does with the node on top.
template <typename Body>
void withNode(LuaState& lua, const std::string& code, Body body) {
  lua.run(code);
  lua.pushGlobal("node");
  int top = lua_gettop(lua);
  body(lua.get());
  EXPECT_EQ(lua_gettop(lua), top) << "stack not balanced";
  lua_pop(lua, 1);
}
}  // namespace

TEST(FieldResolution, FunctionsAreCalledWithTheNodeUntilAValueComesBack) {
  LuaState lua;
  withNode(lua,
           "seen = {}\n"
           "node = { off = function(n) seen[#seen+1] = n; return false end,\n"
           "         deep = function(n) seen[#seen+1] = n; return function(m) seen[#seen+1] = m;"
           " return 3 end end }",
           [&](lua_State* L) {
             bool flag = true;
             getBool(L, "off", &flag);
             EXPECT_FALSE(flag);
             int value = 0;
             getNumber<int>(L, "deep", &value);
             EXPECT_EQ(value, 3);
           });
  lua.run("assert(#seen == 3 and seen[1] == node and seen[2] == node and seen[3] == node)");
}

TEST(FieldResolution, AnErrorMessageTakesTheResultsPlace) {
  LuaState lua;
  withNode(lua, "node = { name = function() error('broken', 0) end }", [](lua_State* L) {
    EXPECT_EQ(getString(L, "name"), "broken");
    float number = 7;
    getNumber<float>(L, "name", &number);
    EXPECT_EQ(number, 7);
  });
}

TEST(FieldResolution, AFunctionThatAlwaysReturnsAFunctionEndsAsNil) {
  LuaState lua;
  withNode(lua, "local f; f = function() return f end; node = { x = f }", [](lua_State* L) {
    float x = 4;
    getNumber<float>(L, "x", &x);
    EXPECT_EQ(x, 4);
  });
}

TEST(Numbers, ConvertNumericStringsAndTruncateTowardZero) {
  LuaState lua;
  withNode(lua, "node = { s = '2.5', up = 2.9, down = -2.9, word = 'x', huge = 1e300 }",
           [](lua_State* L) {
             float s = 0;
             getNumber<float>(L, "s", &s);
             EXPECT_FLOAT_EQ(s, 2.5f);
             int up = 0, down = 0, word = 11, huge = 0;
             getNumber<int>(L, "up", &up);
             getNumber<int>(L, "down", &down);
             getNumber<int>(L, "word", &word);
             getNumber<int>(L, "huge", &huge);
             EXPECT_EQ(up, 2);
             EXPECT_EQ(down, -2);
             EXPECT_EQ(word, 11);
             EXPECT_EQ(huge, INT_MAX);
           });
}

TEST(Booleans, OnlyTheBooleanTrueCounts) {
  LuaState lua;
  withNode(lua, "node = { one = 1, word = 'true', yes = true }", [](lua_State* L) {
    EXPECT_FALSE(getBool(L, "one"));
    EXPECT_FALSE(getBool(L, "word"));
    EXPECT_TRUE(getBool(L, "yes"));
    bool untouched = true;
    getBool(L, "one", &untouched);
    EXPECT_TRUE(untouched);
  });
}

TEST(Strings, NumbersGiveTheirTextOtherValuesFail) {
  LuaState lua;
  withNode(lua, "node = { n = 12, b = true, z = 'ab\\0cd' }", [](lua_State* L) {
    std::string text = "kept";
    EXPECT_TRUE(getString(L, "n", text));
    EXPECT_EQ(text, "12");
    text = "kept";
    EXPECT_FALSE(getString(L, "b", text));
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(getString(L, "z"), "ab");
    EXPECT_EQ(getString(L, "missing"), "");
  });
}

TEST(Lists, NumbersAndStringsAppend) {
  LuaState lua;
  withNode(lua, "node = { n = {1, '2', 'x'}, s = {'a', 3, {}, 'b'}, notlist = 5 }",
           [](lua_State* L) {
             std::vector<float> numbers;
             EXPECT_TRUE(getNumbers(L, "n", numbers));
             EXPECT_TRUE(getNumbers(L, "n", numbers));
             EXPECT_EQ(numbers, (std::vector<float>{1, 2, 0, 1, 2, 0}));
             EXPECT_FALSE(getNumbers(L, "notlist", numbers));
             EXPECT_EQ(numbers.size(), 6u);
             std::vector<std::string> strings;
             EXPECT_TRUE(getStrings(L, "s", strings));
             EXPECT_EQ(strings, (std::vector<std::string>{"a", "3", "b"}));
           });
}

TEST(Fields, NonTablesAndFailingMetamethodsReadAsMissing) {
  LuaState lua;
  lua.run("node = setmetatable({}, { __index = function() error('no') end })");
  lua.pushGlobal("node");
  EXPECT_EQ(getString(lua, "anything"), "");
  lua_pop(lua, 1);
  lua_pushnumber(lua, 5);
  EXPECT_EQ(getString(lua, "anything"), "");
  lua_pop(lua, 1);
  EXPECT_EQ(lua_gettop(lua), 0);
}

TEST(Find, MatchesTheRootAndArrayEntriesButNotNamedTables) {
  LuaState lua;
  withNode(lua,
           "node = { camera = {id = 'root'}, { camera = {id = 'child'} },"
           " props = { camera = {id = 'named'} }, function() return {camera = {id = 'fn'}} end }",
           [](lua_State* L) {
             std::vector<std::string> found;
             find(L, "camera", [&](lua_State*) {
               EXPECT_EQ(lua_type(L, -2), LUA_TSTRING);
               EXPECT_TRUE(lua_istable(L, -3));
               found.push_back(getString(L, "id"));
             });
             std::sort(found.begin(), found.end());
             EXPECT_EQ(found, (std::vector<std::string>{"child", "root"}));
           });
}

TEST(Find, OnlyTheWholeNameMatchesNotItsPrefixesOrExtensions) {
  LuaState lua;
  withNode(lua,
           "node = { cam = 1, camer = 2, [''] = 3, cameras = 4, ['camera\\0'] = 5, Camera = 6,\n"
           "         { cam = 7, camer = 8, [''] = 9, camera = 10 } }",
           [](lua_State* L) {
             std::vector<double> found;
             find(L, "camera", [&](lua_State*) { found.push_back(lua_tonumber(L, -1)); });
             EXPECT_EQ(found, std::vector<double>{10});
           });
}

TEST(Find, ACycleThroughArrayEntriesIsVisitedOnce) {
  LuaState lua;
  withNode(lua,
           "node = { camera = 1 }; node[1] = { node, camera = 2 };"
           " shared = { camera = 3 }; node[2] = { shared }; node[3] = { shared }",
           [](lua_State* L) {
             int matches = 0;
             find(L, "camera", [&](lua_State*) { ++matches; });
             // root, its first child, and the shared table under both paths.
             EXPECT_EQ(matches, 4);
           });
}

struct Counted {
  static int alive;
  std::vector<int> payload;
  explicit Counted(int n) : payload(static_cast<size_t>(n), n) { ++alive; }
  Counted(const Counted& other) : payload(other.payload) { ++alive; }
  ~Counted() { --alive; }
};
int Counted::alive = 0;

TEST(UserData, OneRecordPerNodeDestroyedWithItsBlock) {
  {
    LuaState lua;
    withNode(lua, "node = { stash = 5, other = newproxy(true) }", [](lua_State* L) {
      Counted* first = getUserData(L, "stash", Counted(3));
      Counted* second = getUserData(L, "stash", Counted(9));
      EXPECT_EQ(first, second);
      EXPECT_EQ(first->payload.size(), 3u);
      lua_getfield(L, -1, "stash");
      EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
      lua_pop(L, 1);
      // A userdata that was not made for this record type is replaced.
      Counted* replaced = getUserData(L, "other", Counted(1));
      EXPECT_EQ(replaced->payload.size(), 1u);
    });
    EXPECT_EQ(Counted::alive, 2);
    lua.run("node = nil; collectgarbage()");
    EXPECT_EQ(Counted::alive, 0);
  }
}
