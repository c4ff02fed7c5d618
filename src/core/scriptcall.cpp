// Protected calls into the script and the "Lua error" line.
#include "core/scriptcall.h"

#include "core/log.h"

namespace script {
const char* errorText(lua_State* L, int index) {
  const char* text = lua_tostring(L, index);
  if (text) return text;
  switch (lua_type(L, index)) {
    case LUA_TNIL: return "nil";
    case LUA_TBOOLEAN: return lua_toboolean(L, index) ? "true" : "false";
    default: return "(error object is not a string)";
  }
}

void logError(lua_State* L) {
  DLOG("Lua error: %s\n", errorText(L, -1));
  lua_pop(L, 1);
}

bool call(lua_State* L, int nargs, int nresults) {
  if (lua_pcall(L, nargs, nresults, 0) == 0) return true;
  logError(L);
  return false;
}
}  // namespace script
