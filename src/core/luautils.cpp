// Field resolution, the typed readers and the array-entry search of luautils.h.
#include "core/luautils.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/log.h"

namespace {
// A function that keeps returning functions would otherwise hang the frame.
const int MAX_RESOLUTIONS = 1000;

int indexTable(lua_State* L) {
  lua_gettable(L, 1);
  return 1;
}

// node[name] without resolution. Plain tables use a raw lookup, which cannot
// fail and is what a plain lookup does anyway; tables and userdata with
// metatables are indexed in protected mode. Anything else, and a lookup that
// raises an error, gives nil.
void pushPlainField(lua_State* L, int node, const char* name) {
  int type = lua_type(L, node);
  if (type == LUA_TTABLE && !lua_getmetatable(L, node)) {
    lua_pushstring(L, name);
    lua_rawget(L, node);
    return;
  }
  if (type == LUA_TTABLE) lua_pop(L, 1);  // the metatable
  if (type != LUA_TTABLE && type != LUA_TUSERDATA) {
    lua_pushnil(L);
    return;
  }
  lua_pushcfunction(L, indexTable);
  lua_pushvalue(L, node);
  lua_pushstring(L, name);
  if (lua_pcall(L, 2, 1, 0) != 0) {
    lua_pop(L, 1);
    lua_pushnil(L);
  }
}

bool contains(const std::vector<const void*>& tables, const void* table) {
  for (const void* t : tables)
    if (t == table) return true;
  return false;
}

// Replaces the function on top by its result while it is one. The call gets
// the value at absolute index `node` as its one argument, or none for node 0.
void resolve(lua_State* L, int node) {
  for (int calls = 0; lua_isfunction(L, -1); ++calls) {
    if (calls == MAX_RESOLUTIONS) {
      lua_pop(L, 1);
      lua_pushnil(L);
      return;
    }
    if (node != 0) lua_pushvalue(L, node);
    lua_pcall(L, node != 0 ? 1 : 0, 1, 0);
  }
}

void walkNode(lua_State* L, const luautils::TreeWalk& walk, std::vector<const void*>& path) {
  if (walk.accept && !walk.accept(L)) return;
  if (!lua_checkstack(L, walk.stackSlots)) {
    luautils::reportCycle((std::string(walk.name) + " (scene too deep)").c_str());
    return;
  }
  int node = lua_gettop(L);
  if (walk.visit) walk.visit(L);
  path.push_back(lua_topointer(L, node));
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    if (lua_type(L, -2) == LUA_TSTRING) {
      if (walk.field) walk.field(L);
    } else {
      if (walk.callChildFunctions) resolve(L, 0);
      if (lua_istable(L, -1)) {
        if (contains(path, lua_topointer(L, -1)))
          luautils::reportCycle(walk.name);
        else
          walkNode(L, walk, path);
      }
    }
    lua_pop(L, 1);
  }
  path.pop_back();
}
}  // namespace

namespace luautils {
int absoluteIndex(lua_State* L, int index) {
  return index < 0 && index > LUA_REGISTRYINDEX ? lua_gettop(L) + index + 1 : index;
}

void pushField(lua_State* L, int index, const char* name) {
  pushPlainField(L, absoluteIndex(L, index), name);
}

void resolveTop(lua_State* L, int index) { resolve(L, absoluteIndex(L, index)); }

void pushResolvedField(lua_State* L, int index, const char* name) {
  int node = absoluteIndex(L, index);
  pushPlainField(L, node, name);
  resolveTop(L, node);
}

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

void reportCycle(const char* where) {
  static bool reported = false;
  if (reported) return;
  reported = true;
  DLOG("Scene table reachable from itself skipped in %s\n", where);
}

void walkTree(lua_State* L, const TreeWalk& walk) {
  std::vector<const void*> path;
  walkNode(L, walk, path);
}

void traverse(lua_State* L, HandlerQueue& enter) {
  TreeWalk walk;
  walk.name = "the scene walk";
  walk.stackSlots = 8;
  walk.callChildFunctions = true;
  walk.accept = [](lua_State* state) {
    bool enabled = true;
    getBool(state, "enabled", &enabled);
    return enabled;
  };
  walk.visit = [&enter](lua_State* state) {
    pushResolvedField(state, -1, "onUpdate");
    lua_pop(state, 1);
    for (auto& handler : enter) handler(state);
  };
  walkTree(L, walk);
}
}  // namespace luautils

void getBool(lua_State* L, const char* name, bool* target) {
  luautils::pushResolvedField(L, -1, name);
  if (lua_isboolean(L, -1)) *target = lua_toboolean(L, -1) != 0;
  lua_pop(L, 1);
}

bool getBool(lua_State* L, const char* name) {
  bool value = false;
  getBool(L, name, &value);
  return value;
}

template <typename T>
void getNumber(lua_State* L, const char* name, T* target) {
  luautils::pushResolvedField(L, -1, name);
  if (lua_isnumber(L, -1)) {
    double value = lua_tonumber(L, -1);
    if constexpr (std::is_same_v<T, int>)
      *target = luautils::truncateToInt(value);
    else
      *target = static_cast<T>(value);
  }
  lua_pop(L, 1);
}
template void getNumber<float>(lua_State*, const char*, float*);
template void getNumber<int>(lua_State*, const char*, int*);

bool getString(lua_State* L, const char* name, std::string& target) {
  luautils::pushResolvedField(L, -1, name);
  int type = lua_type(L, -1);
  bool succeeded = type == LUA_TSTRING || type == LUA_TNUMBER;
  if (succeeded) target = lua_tostring(L, -1);
  lua_pop(L, 1);
  return succeeded;
}

std::string getString(lua_State* L, const char* name) {
  std::string value;
  getString(L, name, value);
  return value;
}

bool getNumbers(lua_State* L, const char* name, std::vector<float>& numbers) {
  luautils::pushResolvedField(L, -1, name);
  bool succeeded = lua_istable(L, -1);
  if (succeeded) {
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
      numbers.push_back(static_cast<float>(lua_tonumber(L, -1)));
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 1);
  return succeeded;
}

bool getStrings(lua_State* L, const char* name, std::vector<std::string>& strings) {
  luautils::pushResolvedField(L, -1, name);
  bool succeeded = lua_istable(L, -1);
  if (succeeded) {
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
      // Values with no text form (tables, booleans, ...) are skipped.
      int type = lua_type(L, -1);
      if (type == LUA_TSTRING || type == LUA_TNUMBER) strings.emplace_back(lua_tostring(L, -1));
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 1);
  return succeeded;
}

void find(lua_State* L, const std::string& name, std::function<void(lua_State*)> f) {
  luautils::TreeWalk walk;
  walk.name = "find";
  walk.field = [&](lua_State* state) {
    size_t length = 0;
    const char* key = lua_tolstring(state, -2, &length);
    if (length == name.size() && std::memcmp(key, name.data(), length) == 0) f(state);
  };
  luautils::walkTree(L, walk);
}
