// The kept chain of tables above a world node, read again at step time.
#include "physics/reach.h"

#include "core/luautils.h"

namespace physics {
namespace {
// Whether the table on top says `enabled = false`.
bool disabled(lua_State* L) {
  bool on = true;
  getBool(L, "enabled", &on);
  return !on;
}
}  // namespace

void rememberAncestors(lua_State* L, World& world, const std::vector<luautils::PathStep>& path) {
  if (world.ancestorsRef == LUA_NOREF) {
    lua_newtable(L);
    world.ancestorsRef = luaL_ref(L, LUA_REGISTRYINDEX);
  }
  lua_rawgeti(L, LUA_REGISTRYINDEX, world.ancestorsRef);
  int count = 0;
  for (size_t k = 0; k + 1 < path.size(); ++k) {
    lua_pushvalue(L, path[k].node);
    lua_rawseti(L, -2, ++count);
  }
  // A chain shorter than last time: the rest goes.
  for (int k = count + 1; k <= world.ancestorCount; ++k) {
    lua_pushnil(L);
    lua_rawseti(L, -2, k);
  }
  world.ancestorCount = count;
  lua_pop(L, 1);
}

bool stillEnabled(lua_State* L, const World& world) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, world.nodeRef);
  bool enabled = !disabled(L);
  lua_pop(L, 1);
  if (world.ancestorsRef == LUA_NOREF) return enabled;
  lua_rawgeti(L, LUA_REGISTRYINDEX, world.ancestorsRef);
  for (int k = 1; enabled && k <= world.ancestorCount; ++k) {
    lua_rawgeti(L, -1, k);
    enabled = !disabled(L);
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return enabled;
}
}  // namespace physics
