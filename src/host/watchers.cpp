// Live reloading: what happens when a script, shader, texture or sprite file
// changes. A failing reload logs and keeps what was there.
#include "host/watchers.h"

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
void onScriptChange(lua_State* L, filesystem::Change, const std::string& path) {
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

Callback scriptCallback(lua_State* L) {
  return [L](filesystem::Change change, std::string path) { onScriptChange(L, change, path); };
}

Callback shaderCallback() {
  return [](filesystem::Change change, std::string path) { onShaderChange(change, path); };
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
