// Naming nodes in warnings.
#include "physics/nodepath.h"

#include "core/luautils.h"

namespace physics {
std::string nodeName(lua_State* L, const std::string& fallback) {
  luautils::pushField(L, -1, "name");
  std::string name = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : fallback;
  lua_pop(L, 1);
  return name;
}

std::string nodePath(lua_State* L, int root, int node, const std::string& rootName) {
  std::string path = rootName;
  for (int k = root + 1; k < node; k += 2) {
    if (lua_type(L, k) == LUA_TNUMBER) {
      lua_Number number = lua_tonumber(L, k);
      char text[32];
      snprintf(text, sizeof text, "[%.14g]", number);
      path += text;
    } else {
      path += std::string("[") + luaL_typename(L, k) + "]";
    }
  }
  lua_pushvalue(L, node);
  std::string name = nodeName(L, path);
  lua_pop(L, 1);
  return name;
}
}  // namespace physics
