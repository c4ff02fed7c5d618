// Test interpreters.
#include "support/lua_state.h"

#include <gtest/gtest.h>

namespace testsupport {

LuaState::LuaState() : L_(luaL_newstate()) { luaL_openlibs(L_); }

LuaState::~LuaState() { lua_close(L_); }

void LuaState::run(const std::string& code) const {
  if (luaL_dostring(L_, code.c_str()) != 0) {
    ADD_FAILURE() << "Lua error: " << lua_tostring(L_, -1);
    lua_pop(L_, 1);
  }
}

}  // namespace testsupport
