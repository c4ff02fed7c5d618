// Reading option tables: numbers for the continuous options, and for `loop`
// either a count or a boolean (true: forever).
#include "bindings/audiooptions.h"

#include "core/luautils.h"

namespace audiooptions {
namespace {
// Pushes "where: option NAME must be WHAT, got TYPE" and returns false.
bool refuse(lua_State* L, const char* name, const char* what) {
  const char* got = luaL_typename(L, -1);
  luaL_where(L, 1);
  lua_pushfstring(L, "option %s must be %s, got %s", name, what, got);
  lua_concat(L, 2);
  lua_remove(L, -2);  // the field's value
  return false;
}

// Reads the number field `name` of the table at `index` into `value` when it
// is there; false (message pushed) for any other type.
bool number(lua_State* L, int index, const char* name, float* value) {
  luautils::pushField(L, index, name);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return true;
  }
  if (lua_type(L, -1) != LUA_TNUMBER) return refuse(L, name, "a number");
  *value = static_cast<float>(lua_tonumber(L, -1));
  lua_pop(L, 1);
  return true;
}

// `loop`: true repeats until stopped (-1), false plays once (0), a number is
// the count of repetitions after the first play (negative counts as 0).
bool loop(lua_State* L, int index, int* loops) {
  luautils::pushField(L, index, "loop");
  int type = lua_type(L, -1);
  if (type == LUA_TBOOLEAN) {
    *loops = lua_toboolean(L, -1) ? -1 : 0;
  } else if (type == LUA_TNUMBER) {
    lua_Number count = lua_tonumber(L, -1);
    *loops = count > 0 ? (count < 1e6 ? static_cast<int>(count) : 1000000) : 0;
  } else if (type != LUA_TNIL) {
    return refuse(L, "loop", "a number or a boolean");
  }
  lua_pop(L, 1);
  return true;
}
}  // namespace

bool isTableOrNil(lua_State* L, int index) {
  return lua_istable(L, index) || lua_isnoneornil(L, index);
}

bool readSound(lua_State* L, int index, audio::SoundOptions* options) {
  if (!lua_istable(L, index)) return true;
  return number(L, index, "volume", &options->volume) && number(L, index, "pan", &options->pan) &&
         number(L, index, "pitch", &options->pitch) && loop(L, index, &options->loops);
}

bool readMusic(lua_State* L, int index, audio::MusicOptions* options) {
  if (!lua_istable(L, index)) return true;
  return number(L, index, "fadeIn", &options->fadeIn) &&
         number(L, index, "position", &options->position) && loop(L, index, &options->loops);
}
}  // namespace audiooptions
