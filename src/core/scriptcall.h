// Calling into the script: protected calls whose failures are logged as
// "Lua error: <message>" and removed from the stack, so the frame goes on.
#pragma once

#include <lua.hpp>

namespace script {
// Calls the function below `nargs` arguments. On success the stack holds its
// `nresults` results; on failure the error is logged and nothing is left.
bool call(lua_State* L, int nargs, int nresults);
// The error value at `index` as text; values without a text form are named by
// their type instead of printing nothing.
const char* errorText(lua_State* L, int index);
// Logs the error value on top of the stack and pops it.
void logError(lua_State* L);
}  // namespace script
