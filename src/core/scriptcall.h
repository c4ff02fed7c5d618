// Calling into the script: protected calls whose failures are logged as
// "Lua error: <message>" and removed from the stack, so the frame goes on.
// In development mode (core/diagnostics.h) failures carry a traceback and are
// logged once per distinct message, and the errors that the framework
// otherwise swallows are reported too.
#pragma once

#include <lua.hpp>

#include <string>

namespace script {
// Calls the function below `nargs` arguments. On success the stack holds its
// `nresults` results; on failure the error is logged and nothing is left.
// `what` names the callback in development mode's message ("update",
// "onKeyboardEvent", ...); null gives the plain "Lua error: " line.
bool call(lua_State* L, int nargs, int nresults, const char* what = nullptr);
// lua_pcall with no message handler, except in development mode, where the
// traceback of a failure is kept for reportSwallowed / logError.
int pcall(lua_State* L, int nargs, int nresults);
// With a failed pcall's error value on top, which stays there: in development
// mode reports it as an error in `what`; nothing otherwise.
void reportSwallowed(lua_State* L, const char* what);
// The error value at `index` as text; values without a text form are named by
// their type instead of printing nothing.
const char* errorText(lua_State* L, int index);
// Logs the error value on top of the stack and pops it.
void logError(lua_State* L, const char* what = nullptr);
// Logs a Lua error's text (ending in "\n") as an error line, and shows it
// where the platform shows errors (a web page's panel).
void reportLuaError(const std::string& text);
// The usual "stack traceback:" text of the running code from `level` on,
// lines cut in the middle for deep stacks as Lua's debug.traceback does.
std::string traceback(lua_State* L, int level);
}  // namespace script
