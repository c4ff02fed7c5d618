// Development mode's registry and the protected calls that feed it: what is
// printed once, what is counted, what strict mode does, and that the values the
// script sees stay as they are without a handler.
#include <gtest/gtest.h>

#include <string>

#include "core/diagnostics.h"
#include "core/luautils.h"
#include "core/runstate.h"
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
    quit = 0;
  }
  static void develop(bool strict) {
    diagnostics::Mode mode;
    mode.strict = strict;
    mode.debug = true;
    diagnostics::setMode(mode);
  }
};
}  // namespace

TEST_F(Diagnostics, RepeatedLinesAndWarningsAreOncePerKeyUnderDebugOnly) {
  auto threeTimes = [] {
    for (int i = 0; i < 3; ++i) {
      diagnostics::logRepeated("line", "seen %d\n", 7);
      diagnostics::warnOnce("warning", "warned\n");
    }
  };
  EXPECT_EQ(captureOutput(threeTimes), "seen 7\nseen 7\nseen 7\n");
  develop(false);
  EXPECT_EQ(captureOutput(threeTimes), "seen 7\nwarned\n");
}

TEST_F(Diagnostics, AFailingFieldKeepsItsValueAndIsReportedOnceWithItsTraceback) {
  LuaState lua;
  lua.run("node = { x = function()\n error('bad x')\n end }");
  lua.pushGlobal("node");
  std::string plain;
  EXPECT_EQ(captureOutput([&] { plain = getString(lua, "x"); }), "");

  develop(false);
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
  develop(false);
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

TEST_F(Diagnostics, StrictModeEndsTheRunAtTheFirstError) {
  develop(true);
  LuaState lua;
  lua.run("function fail() error('once') end");
  std::string log = captureOutput([&] {
    for (int i = 0; i < 2; ++i) {
      lua.pushGlobal("fail");
      script::call(lua, 0, 0);
    }
  });
  EXPECT_EQ(quit, 1);
  EXPECT_TRUE(diagnostics::strictFailure());
  EXPECT_EQ(countLinesStartingWith(log, "Strict mode:"), 1) << log;
  EXPECT_EQ(countLinesStartingWith(log, "Lua error: "), 1) << log;
}
