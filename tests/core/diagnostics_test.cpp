// Development mode's protected calls: an error is printed once with its
// traceback and counted, the value the script sees stays as it is without a
// handler, and deep tracebacks keep both ends.
#include <gtest/gtest.h>

#include <string>

#include "core/diagnostics.h"
#include "core/luautils.h"
#include "core/scriptcall.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/lua_state.h"

using testsupport::captureOutput;
using testsupport::countLines;
using testsupport::countLinesStartingWith;
using testsupport::LuaState;

namespace {
class Diagnostics : public ::testing::Test {
 protected:
  void SetUp() override { diagnostics::reset(); }
  void TearDown() override {
    diagnostics::setMode({});
    diagnostics::reset();
  }
  static void develop() {
    diagnostics::Mode mode;
    mode.debug = true;
    diagnostics::setMode(mode);
  }
};
}  // namespace

TEST_F(Diagnostics, AFailingFieldKeepsItsValueAndIsReportedOnceWithItsTraceback) {
  LuaState lua;
  lua.run("node = { x = function()\n error('bad x')\n end }");
  lua.pushGlobal("node");
  std::string plain;
  EXPECT_EQ(captureOutput([&] { plain = getString(lua, "x"); }), "");

  develop();
  diagnostics::setMainChunkId("[string \"node = { x = function()...\"]");
  std::string log = captureOutput([&] {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(getString(lua, "x"), plain);
    diagnostics::reportCounts();
  });
  EXPECT_EQ(lua_gettop(lua), 1);
  EXPECT_EQ(plain, "[string \"node = { x = function()...\"]:2: bad x");
  EXPECT_EQ(log,
            "Lua error in field x: main.lua:2: bad x\n"
            "stack traceback:\n"
            "\t[C]: in function 'error'\n"
            "\tmain.lua:2: in function <main.lua:1>\n"
            "3 times: Lua error in field x: main.lua:2: bad x\n");
}

TEST_F(Diagnostics, DeepTracebacksShowBothEnds) {
  develop();
  LuaState lua;
  lua.run("function deep(n) if n == 0 then error('bottom') end return deep(n - 1) + 0 end");
  lua.pushGlobal("deep");
  lua_pushnumber(lua, 50);
  std::string log = captureOutput([&] { EXPECT_FALSE(script::call(lua, 1, 0, "deep")); });
  EXPECT_EQ(lua_gettop(lua), 0);
  EXPECT_EQ(countLinesStartingWith(log, "Lua error in deep: [string"), 1) << log;
  EXPECT_EQ(countLines(log, "\t..."), 1) << log;
  EXPECT_EQ(countLinesStartingWith(log, "\t"), 12 + 1 + 10) << log;
}

// Each warning's name says when it is given: once per key in every mode, or
// once per key under --debug only.
TEST_F(Diagnostics, OnceWarningsFollowTheRuleTheirNameSays) {
  auto both = [] {
    for (int i = 0; i < 2; ++i) {
      diagnostics::warnOnceAlways("a", "always %d\n", 1);
      diagnostics::warnOnceUnderDebug("b", "under debug %d\n", 2);
    }
  };
  EXPECT_EQ(captureOutput(both), "always 1\n");
  diagnostics::reset();
  develop();
  EXPECT_EQ(captureOutput(both), "always 1\nunder debug 2\n");
}
