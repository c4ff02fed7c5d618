// Placeholder openers: each module is an empty global table until the binding
// layer lands.
#include "bindings/modules.h"

namespace {
int openEmpty(lua_State* L, const char* name) {
  lua_newtable(L);
  lua_pushvalue(L, -1);
  lua_setglobal(L, name);
  return 1;
}
}  // namespace

extern "C" {
int luaopen_audio(lua_State* L) { return openEmpty(L, "audio"); }
int luaopen_log(lua_State* L) { return openEmpty(L, "log"); }
int luaopen_gpgutils(lua_State* L) { return openEmpty(L, "gpgutils"); }
int luaopen_facebook(lua_State* L) { return openEmpty(L, "facebook"); }
int luaopen_resources(lua_State* L) { return openEmpty(L, "resources"); }
int luaopen_graphics(lua_State* L) { return openEmpty(L, "graphics"); }
int luaopen_app(lua_State* L) { return openEmpty(L, "app"); }
}
