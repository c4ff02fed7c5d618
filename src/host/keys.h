// The script's `keys` table: names for SDL's key codes, so a game can write
// keys.left instead of 1073741904.
#pragma once

#include <lua.hpp>

namespace keys {
// Sets the global `keys`: every name maps to its SDL key code. Leaves the
// stack as it found it.
void install(lua_State* L);
}  // namespace keys
