// The real app, log, facebook and gpgutils modules in an interpreter, opened as
// start-up opens them: their tables, argument checks, messages and effects.
#include <gtest/gtest.h>

#include "modules_fixture.h"
#include "support/capture.h"
#include "support/lua_state.h"

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
struct Modules : ::testing::Test {
  LuaState lua;
  void SetUp() override { bindingstest::openModules(lua); }
};
}  // namespace

TEST(Opening, EveryOpenerReturnsItsModuleTableAndStoresItAsAGlobal) {
  LuaState lua;
  const std::pair<const char*, lua_CFunction> modules[] = {
      {"audio", luaopen_audio},         {"log", luaopen_log},           {"gpgutils", luaopen_gpgutils},
      {"facebook", luaopen_facebook},   {"resources", luaopen_resources}, {"graphics", luaopen_graphics},
      {"app", luaopen_app},             {"tilemaps", luaopen_tilemaps}};
  for (const auto& [name, opener] : modules) {
    lua_pushcfunction(lua, opener);
    lua_pushstring(lua, "table");
    lua_call(lua, 1, 1);
    lua_getglobal(lua, name);
    EXPECT_TRUE(lua_istable(lua, -1)) << name;
    EXPECT_TRUE(lua_rawequal(lua, -1, -2)) << name;
    lua_pop(lua, 2);
    EXPECT_EQ(lua_gettop(lua), 0) << name;
  }
  lua_getfield(lua, LUA_REGISTRYINDEX, "swig_runtime_data_type_pointer4");
  EXPECT_TRUE(lua_islightuserdata(lua, -1));
  lua_pop(lua, 1);
  runScript(lua, "assert(type(swig_type) == 'function' and type(swig_equals) == 'function')");
}

TEST_F(Modules, WrongArgumentCountsNameTheFunctionAfterTheCallersPosition) {
  runScript(lua,
            "expectError(function() facebook.init(1) end,\n"
            "            'game:1: Error in facebook::init expected 0..0 args, got 1')\n"
            "expectError(function() log.DLOG('a', 'b') end, 'game:3: Error in DLOG expected 1..1 args, got 2')\n"
            "expectError(function() gpgutils.submitScore() end,\n"
            "            'game:4: Error in gpgutils::submitScore expected 1..1 args, got 0')\n"
            "expectError(function() app.quit(true) end, 'game:6: Error in app::quit expected 0..0 args, got 1')\n"
            "-- through pcall directly there is no calling script line to cite\n"
            "local ok, err = pcall(facebook.login, 1)\n"
            "assert(err == 'Error in facebook::login expected 0..0 args, got 1', err)\n");
}

TEST_F(Modules, NumbersAreConvertedAndTextThatIsNoNumberIsRefused) {
  runScript(lua,
            "assert(select('#', gpgutils.submitScore(3.7)) == 0)\n"
            "assert(select('#', gpgutils.submitScore('12')) == 0)\n"
            "expectError(function() gpgutils.submitScore('ten') end,\n"
            "            \"game:3: Error in gpgutils::submitScore (arg 1), expected 'int' got 'string'\")\n"
            "expectError(function() gpgutils.submitScore({}) end,\n"
            "            \"game:5: Error in gpgutils::submitScore (arg 1), expected 'int' got 'table'\")\n");
}

TEST_F(Modules, TextParametersTakeStringsAndNumbersButRefuseNil) {
  runScript(lua,
            "assert(select('#', gpgutils.unlockAchievement('first-blood')) == 0)\n"
            "assert(select('#', gpgutils.unlockAchievement(7)) == 0)\n"
            "expectError(function() gpgutils.unlockAchievement(nil) end,\n"
            "            \"game:3: Error in gpgutils::unlockAchievement (arg 1), expected 'char *' got 'nil'\")\n"
            "expectError(function() log.DLOG(nil) end,\n"
            "            \"game:5: Error in DLOG (arg 1), expected 'char const *' got 'nil'\")\n"
            "expectError(function() log.DLOG(false) end,\n"
            "            \"game:7: Error in DLOG (arg 1), expected 'char const *' got 'boolean'\")\n");
}

TEST_F(Modules, LogPrintsTheTextAsWritten) {
  std::string log = testsupport::captureOutput([&] {
    runScript(lua,
              "log.DLOG('100% %s %d %n done\\n')\n"
              "log.DLOG(string.format('frame %d\\n', 3))\n"
              "log.DLOG(42)\n");
  });
  EXPECT_EQ(log, "100% %s %d %n done\nframe 3\n42");
}

TEST_F(Modules, SwigTypeAndSwigEqualsOnPlainValues) {
  runScript(lua,
            "assert(swig_type(42) == 'number')\n"
            "assert(swig_type('text') == 'string')\n"
            "assert(swig_type({}) == 'table')\n"
            "assert(swig_type(nil) == 'nil' and swig_type(true) == 'boolean')\n"
            "assert(swig_type(print) == 'function')\n"
            "local t = {}\n"
            "assert(swig_equals(t, t) == nil)\n"
            "assert(swig_equals(1, 1) == nil and swig_equals('a', 'a') == nil)\n");
}

TEST_F(Modules, ModuleTablesStoreUnknownNamesAndReadMissingOnesAsNil) {
  runScript(lua,
            "assert(resources.extra == nil and log.answer == nil)\n"
            "resources.extra = 5\n"
            "log.answer = 'yes'\n"
            "assert(resources.extra == 5 and log.answer == 'yes')\n"
            "assert(rawget(resources, 'extra') == 5)\n"
            "log.DLOG = nil\n"
            "assert(log.DLOG == nil)\n");
}
