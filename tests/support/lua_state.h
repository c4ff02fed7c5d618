// A fresh interpreter for tests, closed again at the end of the test.
#pragma once

#include <lua.hpp>

#include <string>

namespace testsupport {

class LuaState {
 public:
  LuaState();
  ~LuaState();
  LuaState(const LuaState&) = delete;
  LuaState& operator=(const LuaState&) = delete;

  operator lua_State*() const { return L_; }
  lua_State* get() const { return L_; }
  // Runs `code`; fails the current test with the error message on failure.
  void run(const std::string& code) const;
  // Pushes the global `name`.
  void pushGlobal(const char* name) const { lua_getglobal(L_, name); }

 private:
  lua_State* L_;
};

}  // namespace testsupport
