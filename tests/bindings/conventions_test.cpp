// The object conventions, through the test-only probe module (one class,
// probe::Thing) opened beside the real modules, and the handling of userdata
// that no module made.
#include <gtest/gtest.h>

#include "modules_fixture.h"
#include "probe.h"
#include "support/lua_state.h"

extern "C" int luaopen_probe(lua_State* L);

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
// The probe opens first, so its types must still be found once the seven real
// modules have joined the shared type list after it.
struct Objects : ::testing::Test {
  LuaState lua;
  void SetUp() override {
    bindingstest::open(lua, luaopen_probe);
    bindingstest::openModules(lua);
  }
};
}  // namespace

TEST_F(Objects, ToStringGivesTheClassNameAndTheUserdataAddress) {
  runScript(lua, "thing = probe.Thing()\ntext = tostring(thing)");
  lua_getglobal(lua, "thing");
  const char* expected = lua_pushfstring(lua, "<Thing userdata: %p>", lua_topointer(lua, -1));
  lua_getglobal(lua, "text");
  EXPECT_STREQ(lua_tostring(lua, -1), expected);
  lua_pop(lua, 3);
  // The address is the userdata's: two objects wrapping one record differ.
  runScript(lua, "assert(tostring(probe.shared()) ~= tostring(probe.shared()))");
}

TEST_F(Objects, TypesAndIdentity) {
  runScript(lua,
            "local a, b = probe.shared(), probe.shared()\n"
            "assert(swig_type(a) == 'probe::Thing *', swig_type(a))\n"
            "assert(rawequal(a, b) == false)\n"
            "assert(a == b and swig_equals(a, b) == true)\n"
            "local c = probe.Thing()\n"
            "assert(not (a == c) and swig_equals(a, c) == false)\n"
            "assert(swig_equals(a, 1) == nil and swig_equals({}, a) == nil)\n");
}

TEST_F(Objects, MembersReadAndWriteAndUnknownNamesAreRefused) {
  runScript(lua,
            "local t = probe.Thing()\n"
            "t.count = 4.9\n"
            "assert(t.count == 4 and probe.countOf(t) == 4)\n"
            "assert(t.missing == nil)\n"
            "expectError(function() t.missing = 1 end, 'game:5: Assignment not possible. No setter/member with"
            " this name. For custom assignments implement __setitem method.')\n"
            "-- the setter is reached through the object, so its own errors cite no line\n"
            "expectError(function() t.count = 'many' end,\n"
            "            \"Error in probe::Thing::count (arg 2), expected 'int' got 'string'\")\n"
            "assert(probe.countOf(nil) == -1)\n");
}

TEST_F(Objects, OwnedRecordsAreDestroyedWithTheirObjectUnlessDisowned) {
  int before = probe::destroyed;
  runScript(lua, "local t = probe.Thing(); t = nil; collectgarbage()");
  EXPECT_EQ(probe::destroyed, before + 1);
  runScript(lua, "local s = probe.shared(); s = nil; collectgarbage()");
  EXPECT_EQ(probe::destroyed, before + 1) << "a record handed out by pointer stays the native side's";
  runScript(lua, "kept = probe.Thing(); kept:__disown(); released = kept; kept = nil; collectgarbage()");
  EXPECT_EQ(probe::destroyed, before + 1);
  runScript(lua, "probe.release(released)");
  EXPECT_EQ(probe::destroyed, before + 2);
}

TEST_F(Objects, BoolUnsignedAndCharArgumentsAreChecked) {
  runScript(lua,
            "assert(probe.flip(false) == true)\n"
            "expectError(function() probe.flip(1) end,\n"
            "            \"game:2: Error in probe::flip (arg 1), expected 'bool' got 'number'\")\n"
            "expectError(function() probe.flip(nil) end,\n"
            "            \"game:4: Error in probe::flip (arg 1), expected 'bool' got 'nil'\")\n"
            "assert(probe.half(9) == 4)\n"
            "expectError(function() probe.half(-1) end, 'game:7: number must not be negative')\n"
            "assert(probe.codeOf('A') == 65 and probe.codeOf(7) == 55)\n"
            "expectError(function() probe.codeOf(nil) end,\n"
            "            \"game:9: Error in probe::codeOf (arg 1), expected 'char' got 'nil'\")\n");
}

TEST_F(Objects, ForeignUserdataIsNeverReadAsAnObject) {
  // A file handle is a userdata smaller than an object; the registry entry is a
  // light userdata that points at the type list itself.
  runScript(lua,
            "local light = debug.getregistry()['swig_runtime_data_type_pointer4']\n"
            "assert(type(light) == 'userdata')\n"
            "for _, u in ipairs({io.stdout, light, newproxy()}) do\n"
            "  assert(swig_type(u) == 'userdata (unknown type)')\n"
            "  assert(swig_equals(u, u) == nil)\n"
            "  expectError(function() log.DLOG(u) end,\n"
            "              \"game:6: Error in DLOG (arg 1), expected 'char const *' got 'userdata (unknown type)'\")\n"
            "  expectError(function() probe.countOf(u) end,\n"
            "              \"game:8: Error in countOf (arg 1), expected 'probe::Thing *' got 'userdata (unknown type)'\")\n"
            "end\n");
}

TEST_F(Objects, ANativeExceptionBecomesAnOrdinaryScriptError) {
  runScript(lua,
            "assert(probe.mayThrow(false, '') == 1)\n"
            "expectError(function() probe.mayThrow(true, 'no room') end, 'game:2: no room')\n"
            "expectError(function() probe.mayThrow(true, '') end, 'game:3: unknown C++ exception')\n"
            "local ok, err = pcall(probe.mayThrow, true, 'again')\n"
            "assert(not ok and err == 'again', err)\n"
            "assert(probe.mayThrow(false, '') == 1)\n");
}
