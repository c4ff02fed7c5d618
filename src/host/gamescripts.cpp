// require, dofile and loadfile over the mounted archive. Chunks are named
// "@PATH" as Lua names them, so messages read as they do for a folder game.
#include "host/gamescripts.h"

#include <string>

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

// A searcher for package.loaders: package.path's templates, relative ones
// only, looked up in the archive.
int searchArchive(lua_State* L) {
  std::string name = luaL_checkstring(L, 1);
  for (char& c : name)
    if (c == '.') c = '/';
  lua_getglobal(L, "package");
  lua_getfield(L, -1, "path");
  std::string templates = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
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
      if (!loadChunk(L, path))
        return luaL_error(L, "error loading module '%s' from file '%s':\n\t%s",
                          lua_tostring(L, 1), path.c_str(), lua_tostring(L, -1));
      return 1;
    }
    tried += "\n\tno file '" + path + "' in the game archive";
  }
  lua_pushstring(L, tried.c_str());
  return 1;
}
}  // namespace

void install(lua_State* L) {
  if (!files::archiveMounted()) return;
  lua_register(L, "loadfile", loadFile);
  lua_register(L, "dofile", doFile);
  // Second, after the preloaded modules and before Lua's own file searchers.
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
