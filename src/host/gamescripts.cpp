// require, dofile and loadfile over the mounted archive. Chunks are named
// "@PATH" as Lua names them, so messages read as they do for a folder game.
#include "host/gamescripts.h"

#include <string>

#include "core/luautils.h"
#include "files/files.h"

namespace gamescripts {
namespace {
// Loads the file as a chunk; on failure pushes Lua's own message instead and
// returns false.
bool loadChunk(lua_State* L, const std::string& path) {
  std::string bytes, problem;
  if (!files::read(path, bytes, problem)) {
    lua_pushfstring(L, "cannot open %s: %s", path.c_str(), problem.c_str());
    return false;
  }
  return luaL_loadbuffer(L, bytes.data(), bytes.size(), ("@" + path).c_str()) == 0;
}

int loadFile(lua_State* L) {
  if (!loadChunk(L, luaL_checkstring(L, 1))) {
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
  }
  return 1;
}

int doFile(lua_State* L) {
  const char* path = luaL_checkstring(L, 1);
  int base = lua_gettop(L);
  if (!loadChunk(L, path)) return lua_error(L);
  lua_call(L, 0, LUA_MULTRET);
  return lua_gettop(L) - base;
}

// The search of a module in the archive, along package.path's templates
// (relative ones only). Pushes the loaded chunk and returns true, or pushes
// the message: the list of files tried, or why the found one did not load
// (`failed`). Raises nothing, so its C++ locals always go.
bool findInArchive(lua_State* L, const char* module, bool& failed) {
  std::string name = module;
  for (char& c : name)
    if (c == '.') c = '/';
  luautils::pushGlobal(L, "package");
  luautils::pushField(L, -1, "path");
  std::string templates = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "";
  lua_pop(L, 2);
  std::string tried;
  for (size_t at = 0; at <= templates.size();) {
    size_t end = templates.find(';', at);
    if (end == std::string::npos) end = templates.size();
    std::string path = templates.substr(at, end - at);
    at = end + 1;
    if (path.empty() || path[0] == '/') continue;
    for (size_t mark = path.find('?'); mark != std::string::npos;
         mark = path.find('?', mark + name.size()))
      path.replace(mark, 1, name);
    if (files::exists(path)) {
      if (loadChunk(L, path)) return true;
      lua_pushfstring(L, "error loading module '%s' from file '%s':\n\t%s", module, path.c_str(),
                      lua_tostring(L, -1));
      lua_remove(L, -2);
      failed = true;
      return false;
    }
    tried += "\n\tno file '" + path + "' in the game archive";
  }
  lua_pushstring(L, tried.c_str());
  return false;
}

// A searcher for package.loaders: a loaded chunk, the files tried, or an
// error for a file that does not load.
int searchArchive(lua_State* L) {
  const char* module = luaL_checkstring(L, 1);
  bool failed = false;
  findInArchive(L, module, failed);
  if (failed) return lua_error(L);
  return 1;
}
}  // namespace

void install(lua_State* L) {
  if (!files::archiveMounted()) return;
  lua_register(L, "loadfile", loadFile);
  lua_register(L, "dofile", doFile);
  // Second, after the preloaded modules and before Lua's own file searchers.
  // The game's script has not run yet: the standard tables are as Lua made them.
  lua_getglobal(L, "table");
  lua_getfield(L, -1, "insert");
  lua_getglobal(L, "package");
  lua_getfield(L, -1, "loaders");
  lua_remove(L, -2);
  lua_pushinteger(L, 2);
  lua_pushcfunction(L, searchArchive);
  lua_call(L, 3, 0);
  lua_pop(L, 1);
}
}  // namespace gamescripts
