// The saves module: the game's save folder. Writes replace a save atomically;
// names are plain file names, anything else is a script error.
%module saves
%include "bindings/conventions.i"
%include "bindings/bytes.i"

%{
#include "core/luautils.h"
#include "files/saves.h"

namespace savescript {
// The first call takes config.identity when main.lua has set it already, so
// that a call at the top of main.lua uses the game's own folder; start-up
// reads config after main.lua ran, which is too late for such a call.
void takeConfigIdentity(lua_State* L) {
  static bool asked = false;
  if (asked) return;
  asked = true;
  luautils::StackCheck balanced(L, 0, "saves: config.identity");
  luautils::pushGlobal(L, "config");
  luautils::pushField(L, -1, "identity");
  // A name that is not plain is start-up's to refuse.
  if (lua_type(L, -1) == LUA_TSTRING) saves::setIdentity(lua_tostring(L, -1));
  lua_pop(L, 2);
}
}  // namespace savescript
%}

%apply const std::string& CONTENTS { const std::string& data }
// The folder's path as a plain string: this module has no string class.
%typemap(out) std::string %{lua_pushlstring(L, $1.data(), $1.size()); SWIG_arg++;%}

%inline %{
namespace savescript {
void write(lua_State* L, const char* name, const std::string& data) {
  takeConfigIdentity(L);
  saves::write(name, data);
}
bytes::Maybe read(lua_State* L, const char* name) {
  takeConfigIdentity(L);
  bytes::Maybe result;
  result.found = saves::read(name, result.bytes);
  return result;
}
bool remove(lua_State* L, const char* name) {
  takeConfigIdentity(L);
  return saves::remove(name);
}
bytes::Names list(lua_State* L) {
  takeConfigIdentity(L);
  return saves::list();
}
std::string path(lua_State* L) {
  takeConfigIdentity(L);
  return saves::path();
}
}  // namespace savescript
%}
