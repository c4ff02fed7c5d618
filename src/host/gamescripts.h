// Lua's own ways of reading a chunk (require's file search, dofile, loadfile)
// read the disk. With the game in an archive they must read the archive:
// install() puts versions that read through the file layer in their place.
// A folder game keeps Lua's own, which read the same files.
#pragma once

#include <lua.hpp>

namespace gamescripts {
// Does nothing unless an archive is mounted.
void install(lua_State* L);
}  // namespace gamescripts
