// Live reloading: what happens when a script or shader file changes.
#include "host/watchers.h"

#include <map>

#include "core/log.h"
#include "core/scriptcall.h"
#include "render/graphics.h"

namespace watchers {
void onScriptChange(lua_State* L, filesystem::Change, const std::string& path) {
  DLOG("Custom callback\n");
  lua_getglobal(L, "dofile");
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushstring(L, path.c_str());
  script::call(L, 1, 0);
}

void onShaderChange(filesystem::Change, const std::string& path) {
  size_t slash = path.rfind('/');
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string name = file.substr(0, file.find('.'));
  size_t dot = path.find('.');
  std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
  DLOG("Looking for shader %s %s\n", name.c_str(), extension.c_str());

  for (auto& vertexEntry : gr_programs) {
    const std::string& vertex = vertexEntry.first;
    // A snapshot, so storing new programs does not disturb the walk.
    std::map<std::string, GLuint> fragments = vertexEntry.second;
    for (auto& fragmentEntry : fragments) {
      const std::string& fragment = fragmentEntry.first;
      DLOG("Testing shader %s %s\n", vertex.c_str(), fragment.c_str());
      bool affected = (extension == "vs" && vertex == name) || (extension == "fs" && fragment == name);
      if (!affected) continue;
      DLOG("Changing shader %s %s\n", vertex.c_str(), fragment.c_str());
      vertexEntry.second[fragment] = gr_createProgram(vertex.c_str(), fragment.c_str());
    }
  }
}

Callback scriptCallback(lua_State* L) {
  return [L](filesystem::Change change, std::string path) { onScriptChange(L, change, path); };
}

Callback shaderCallback() {
  return [](filesystem::Change change, std::string path) { onShaderChange(change, path); };
}
}  // namespace watchers
