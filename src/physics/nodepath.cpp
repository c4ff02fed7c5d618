// Naming nodes in warnings.
#include "physics/nodepath.h"

#include <cstdio>

namespace physics {
std::string nodeName(lua_State* L, const std::string& fallback) {
  luautils::pushField(L, -1, "name");
  std::string name = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : fallback;
  lua_pop(L, 1);
  return name;
}

std::string nodePath(lua_State* L, const std::vector<luautils::PathStep>& path,
                     const std::string& rootName) {
  std::string name = rootName;
  for (size_t k = 1; k < path.size(); ++k) {
    int key = path[k].key;
    if (lua_type(L, key) == LUA_TNUMBER) {
      char text[32];
      snprintf(text, sizeof text, "[%.14g]", lua_tonumber(L, key));
      name += text;
    } else {
      name += std::string("[") + luaL_typename(L, key) + "]";
    }
  }
  if (path.empty()) return name;
  lua_pushvalue(L, path.back().node);
  name = nodeName(L, name);
  lua_pop(L, 1);
  return name;
}
}  // namespace physics
