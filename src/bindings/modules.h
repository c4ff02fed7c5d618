// The script modules' openers, called once each at start-up.
#pragma once

#include <lua.hpp>

extern "C" {
int luaopen_audio(lua_State* L);
int luaopen_log(lua_State* L);
int luaopen_gpgutils(lua_State* L);
int luaopen_facebook(lua_State* L);
int luaopen_resources(lua_State* L);
int luaopen_graphics(lua_State* L);
int luaopen_app(lua_State* L);
int luaopen_bodies(lua_State* L);
int luaopen_tilemaps(lua_State* L);
}
