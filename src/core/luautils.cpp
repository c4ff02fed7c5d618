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

struct Ancestors {
  std::vector<const void*> tables;
  bool contains(const void* table) const {
    for (const void* t : tables)
      if (t == table) return true;
    return false;
  }
};

void findIn(lua_State* L, const std::string& name, const std::function<void(lua_State*)>& f,
            Ancestors& path) {
  if (!lua_checkstack(L, 4)) {
    luautils::reportCycle("find (scene too deep)");
    return;
  }
  path.tables.push_back(lua_topointer(L, -1));
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    int keyType = lua_type(L, -2);
    if (keyType == LUA_TSTRING) {
      size_t length = 0;
      const char* key = lua_tolstring(L, -2, &length);
      if (length == name.size() && std::memcmp(key, name.data(), length) == 0) f(L);
    } else if (lua_istable(L, -1)) {
      if (path.contains(lua_topointer(L, -1)))
        luautils::reportCycle("find");
      else
        findIn(L, name, f, path);
    }
    lua_pop(L, 1);
  }
  path.tables.pop_back();
}
}  // namespace

namespace luautils {
int absoluteIndex(lua_State* L, int index) {
  return index < 0 && index > LUA_REGISTRYINDEX ? lua_gettop(L) + index + 1 : index;
}

void pushField(lua_State* L, int index, const char* name) {
  pushPlainField(L, absoluteIndex(L, index), name);
}

void resolveTop(lua_State* L, int index) {
  int node = absoluteIndex(L, index);
  for (int calls = 0; lua_isfunction(L, -1); ++calls) {
    if (calls == MAX_RESOLUTIONS) {
      lua_pop(L, 1);
      lua_pushnil(L);
      return;
    }
    lua_pushvalue(L, node);
    lua_pcall(L, 1, 1, 0);
  }
}

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
  Ancestors path;
  findIn(L, name, f, path);
}
