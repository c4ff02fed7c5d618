// Protected calls into the script, the "Lua error" line, and the tracebacks
// development mode adds to it.
#include "core/scriptcall.h"

#include "core/diagnostics.h"
#include "core/log.h"
#include "core/nodefields.h"
#include "platform/platform.h"

namespace script {
namespace {
// Frames shown from the top and from the bottom of a deep stack.
const int FIRST_FRAMES = 12;
const int LAST_FRAMES = 10;

// The traceback of the failure the last pcall reported, taken once.
std::string pendingTraceback;

std::string takeTraceback() {
  std::string taken;
  taken.swap(pendingTraceback);
  return taken;
}

// Message handler: keeps the traceback aside and leaves the error value as it
// is, so that code reading the value sees what it would without a handler.
int keepTraceback(lua_State* L) {
  pendingTraceback = traceback(L, 1);
  return 1;
}

std::string frameLine(lua_State* L, lua_Debug& frame) {
  lua_getinfo(L, "Snl", &frame);
  std::string line = std::string("\n\t") + frame.short_src + ":";
  if (frame.currentline > 0) line += std::to_string(frame.currentline) + ":";
  if (*frame.namewhat != '\0')
    line += std::string(" in function '") + frame.name + "'";
  else if (*frame.what == 'm')
    line += " in main chunk";
  else if (*frame.what == 'C' || *frame.what == 't')
    line += " ?";
  else
    line += std::string(" in function <") + frame.short_src + ":" +
            std::to_string(frame.linedefined) + ">";
  return line;
}
}  // namespace

std::string traceback(lua_State* L, int level) {
  lua_Debug frame;
  int depth = level;
  while (lua_getstack(L, depth, &frame)) ++depth;
  std::string text = "stack traceback:";
  for (int at = level; at < depth; ++at) {
    if (at - level == FIRST_FRAMES && depth - at > LAST_FRAMES) {
      text += "\n\t...";
      at = depth - LAST_FRAMES;
    }
    lua_getstack(L, at, &frame);
    text += frameLine(L, frame);
  }
  return text;
}

const char* errorText(lua_State* L, int index) {
  const char* text = lua_tostring(L, index);
  if (text) return text;
  switch (lua_type(L, index)) {
    case LUA_TNIL: return "nil";
    case LUA_TBOOLEAN: return lua_toboolean(L, index) ? "true" : "false";
    default: return "(error object is not a string)";
  }
}

int pcall(lua_State* L, int nargs, int nresults) {
  nodefields::invalidate();  // the script may change any table
  if (!diagnostics::mode().debug || !lua_checkstack(L, 1)) return lua_pcall(L, nargs, nresults, 0);
  pendingTraceback.clear();
  int handler = lua_gettop(L) - nargs;
  lua_pushcfunction(L, keepTraceback);
  lua_insert(L, handler);
  int status = lua_pcall(L, nargs, nresults, handler);
  lua_remove(L, handler);
  return status;
}

void reportSwallowed(lua_State* L, const char* what) {
  if (diagnostics::mode().debug) diagnostics::scriptError(what, errorText(L, -1), takeTraceback());
}

void reportLuaError(const std::string& text) {
  DLOG(LogLevel::Error, "%s", text.c_str());
  platform::reportError(text.data(), text.size());
}

void logError(lua_State* L, const char* what) {
  if (diagnostics::mode().debug)
    diagnostics::scriptError(what, errorText(L, -1), takeTraceback());
  else
    reportLuaError(std::string("Lua error: ") + errorText(L, -1) + "\n");
  lua_pop(L, 1);
}

bool call(lua_State* L, int nargs, int nresults, const char* what) {
  if (pcall(L, nargs, nresults) == 0) return true;
  logError(L, what);
  return false;
}
}  // namespace script
