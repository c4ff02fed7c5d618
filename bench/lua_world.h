// A fresh interpreter with the standard libraries, after running the script
// that builds the benchmark's `world`.
#pragma once

#include <lua.hpp>

#include <string>

namespace bench {
inline lua_State* worldFrom(const std::string& script) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  luaL_dostring(L, script.c_str());
  return L;
}
}  // namespace bench
