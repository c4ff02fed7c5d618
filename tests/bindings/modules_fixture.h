// Interpreters with the script modules opened the way start-up opens them, and
// scripts run under a fixed chunk name so error positions read "game:LINE:".
#pragma once

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

#include "bindings/modules.h"

namespace bindingstest {

// Calls `opener` as start-up does: as a Lua function with the one argument
// "table", keeping no results.
inline void open(lua_State* L, lua_CFunction opener) {
  lua_pushcfunction(L, opener);
  lua_pushstring(L, "table");
  lua_call(L, 1, 0);
}

inline void openModules(lua_State* L) {
  for (lua_CFunction opener : {luaopen_audio, luaopen_log, luaopen_gpgutils, luaopen_facebook,
                               luaopen_resources, luaopen_graphics, luaopen_app,
                               luaopen_tilemaps})
    open(L, opener);
}

// Runs `code` as the chunk "game"; a failure fails the test with its message.
// Scripts check themselves with `expectError(f, message)`, defined here.
inline void runScript(lua_State* L, const std::string& code) {
  static const char* const prelude =
      "function expectError(f, message)\n"
      "  local ok, err = pcall(f)\n"
      "  if ok then error('no error, expected: ' .. message, 2) end\n"
      "  if err ~= message then error('error \"' .. tostring(err) .. '\", expected \"' .. message .. '\"', 2) end\n"
      "end\n";
  int top = lua_gettop(L);
  if (luaL_dostring(L, prelude) != 0 || luaL_loadbuffer(L, code.data(), code.size(), "=game") != 0 ||
      lua_pcall(L, 0, 0, 0) != 0) {
    ADD_FAILURE() << lua_tostring(L, -1);
    lua_pop(L, 1);
  }
  EXPECT_EQ(lua_gettop(L), top);
}

}  // namespace bindingstest
