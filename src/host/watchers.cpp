// Live reloading: what happens when a script, shader, texture or sprite file
// changes. A failing reload logs and keeps what was there.
#include "host/watchers.h"

#include <algorithm>
#include <map>
#include <vector>

#include "core/log.h"
#include "core/luautils.h"
#include "core/scriptcall.h"
#include "host/startup.h"
#include "maps/loader.h"
#include "render/graphics.h"
#include "render/sheets.h"
#include "scene/tilemap_pass.h"

namespace watchers {
namespace {
const char* const MAIN_SCRIPT = "main.lua";
const char* const SCRIPTS_FOLDER = "assets/scripts/";

// The names under which package.loaded holds a module read from `path`: the
// file matched against package.path's relative templates, as require would
// have found it from the game's folder. Read raw from the registry's copy, so
// no script metamethod runs.
std::vector<std::string> loadedModules(lua_State* L, const std::string& path) {
  luautils::StackCheck balanced(L, 0, "loadedModules");
  std::vector<std::string> names;
  lua_pushliteral(L, "_LOADED");
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return names;
  }
  lua_pushstring(L, "package");
  lua_rawget(L, -2);
  std::string templates;
  if (lua_istable(L, -1)) {
    lua_pushstring(L, "path");
    lua_rawget(L, -2);
    if (lua_type(L, -1) == LUA_TSTRING) templates = lua_tostring(L, -1);
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  std::string file = path.rfind("./", 0) == 0 ? path.substr(2) : path;
  for (size_t at = 0; at <= templates.size();) {
    size_t end = std::min(templates.find(';', at), templates.size());
    std::string pattern = templates.substr(at, end - at);
    at = end + 1;
    if (pattern.rfind("./", 0) == 0) pattern.erase(0, 2);
    size_t mark = pattern.find('?');
    if (pattern.empty() || pattern[0] == '/' || mark == std::string::npos ||
        pattern.find('?', mark + 1) != std::string::npos)
      continue;
    size_t tail = pattern.size() - mark - 1;
    if (file.size() <= pattern.size() - 1 || file.compare(0, mark, pattern, 0, mark) != 0 ||
        file.compare(file.size() - tail, tail, pattern, mark + 1, tail) != 0)
      continue;
    std::string name = file.substr(mark, file.size() - mark - tail);
    std::replace(name.begin(), name.end(), '/', '.');
    lua_pushstring(L, name.c_str());
    lua_rawget(L, -2);
    bool loaded = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (loaded && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
  }
  lua_pop(L, 1);
  return names;
}
}  // namespace

void onScriptChange(lua_State* L, filesystem::Change, const std::string& path) {
  if (!loadedModules(L, path).empty()) return;
  DLOG(LogLevel::Debug, "Custom callback\n");
  luautils::pushGlobal(L, "dofile");
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushstring(L, path.c_str());
  script::call(L, 1, 0, "dofile");
}

void onShaderChange(filesystem::Change, const std::string& path) {
  size_t slash = path.rfind('/');
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string name = file.substr(0, file.find('.'));
  size_t dot = path.find('.');
  std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
  DLOG(LogLevel::Debug, "Looking for shader %s %s\n", name.c_str(), extension.c_str());

  for (auto& vertexEntry : gr_programs) {
    const std::string& vertex = vertexEntry.first;
    // A snapshot, so storing new programs does not disturb the walk.
    std::map<std::string, GLuint> fragments = vertexEntry.second;
    for (auto& fragmentEntry : fragments) {
      const std::string& fragment = fragmentEntry.first;
      DLOG(LogLevel::Debug, "Testing shader %s %s\n", vertex.c_str(), fragment.c_str());
      bool affected = (extension == "vs" && vertex == name) || (extension == "fs" && fragment == name);
      if (!affected) continue;
      DLOG(LogLevel::Info, "Changing shader %s %s\n", vertex.c_str(), fragment.c_str());
      // A broken edit keeps the program that works, so the game runs on.
      GLuint program = gr_tryCreateProgram(vertex.c_str(), fragment.c_str());
      if (program) vertexEntry.second[fragment] = program;
    }
  }
}

void onMainScriptChange(lua_State* L, const std::string& path) {
  DLOG(LogLevel::Info, "Reload %s\n", path.c_str());
  if (!host::runMainScript(L)) return;
  luautils::pushGlobal(L, "onReload");
  if (lua_isfunction(L, -1))
    script::call(L, 0, 0, "onReload");
  else
    lua_pop(L, 1);
}

void onModuleChange(lua_State* L, const std::string& path) {
  luautils::StackCheck balanced(L, 0, "onModuleChange");
  if (path == MAIN_SCRIPT) return;
  std::vector<std::string> names = loadedModules(L, path);
  if (names.empty() && path.rfind(SCRIPTS_FOLDER, 0) == 0) return;
  DLOG(LogLevel::Info, "Reload %s\n", path.c_str());
  lua_pushliteral(L, "_LOADED");
  lua_rawget(L, LUA_REGISTRYINDEX);
  for (const std::string& name : names) {
    lua_pushstring(L, name.c_str());
    lua_pushnil(L);
    lua_rawset(L, -3);
  }
  lua_pop(L, 1);
  onMainScriptChange(L, MAIN_SCRIPT);
}

Callback scriptCallback(lua_State* L) {
  return [L](filesystem::Change change, std::string path) { onScriptChange(L, change, path); };
}

Callback shaderCallback() {
  return [](filesystem::Change change, std::string path) { onShaderChange(change, path); };
}

Callback moduleCallback(lua_State* L) {
  return [L](filesystem::Change, std::string path) { onModuleChange(L, path); };
}

Callback mainScriptCallback(lua_State* L) {
  return [L](filesystem::Change, std::string path) { onMainScriptChange(L, path); };
}

Callback textureCallback() {
  return [](filesystem::Change, std::string path) {
    DLOG(LogLevel::Info, "Reload %s\n", path.c_str());
    gr_reloadTexture(path);
  };
}

Callback mapCallback() {
  return [](filesystem::Change, std::string path) {
    DLOG(LogLevel::Info, "Reload %s\n", path.c_str());
    maps::reloadAll(tilemappass::releaseTextures);
  };
}

Callback spriteCallback(const char* folder) {
  return [folder](filesystem::Change, std::string path) {
    DLOG(LogLevel::Info, "Reload %s\n", path.c_str());
    gr_reloadSpriteSheet(folder, path);
  };
}

Callback edits(std::initializer_list<const char*> suffixes, Callback callback) {
  std::vector<std::string> endings(suffixes.begin(), suffixes.end());
  return [endings, callback](filesystem::Change change, std::string path) {
    if (change == filesystem::REMOVED) return;
    for (const std::string& ending : endings)
      if (path.size() > ending.size() &&
          path.compare(path.size() - ending.size(), ending.size(), ending) == 0) {
        callback(change, path);
        return;
      }
  };
}
}  // namespace watchers
