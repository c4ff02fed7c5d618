// Start-up and shutdown of a run, in their fixed order.
#pragma once

#include <lua.hpp>

#include "host/options.h"

namespace host {
// Brings everything up, runs the frame loop and tears everything down. Returns
// the process exit status: 0 after a normal run, 1 when the game script cannot
// be read, loaded or run, when its config is unusable, or when --strict saw a
// Lua error.
int run(const Options& options);
// Reads, loads and runs main.lua of the working folder; logs and returns false
// on failure.
bool runMainScript(lua_State* L);
// Reads config.width and config.height; logs and returns false when config is
// not a table or reading it raises an error.
bool readConfig(lua_State* L, int* width, int* height);
const char* version();
}  // namespace host
