// Field resolution, the typed readers and the array-entry search of luautils.h.
#include "core/luautils.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/diagnostics.h"
#include "core/log.h"
#include "core/nodefields.h"
#include "core/scriptcall.h"

namespace {
// A function that keeps returning functions would otherwise hang the frame.
const int MAX_RESOLUTIONS = 1000;

int indexTable(lua_State* L) {
  lua_gettable(L, 1);
  return 1;
}

int assignTable(lua_State* L) {
  lua_settable(L, 1);
  return 0;
}

// The innermost running walk's path, for ancestors().
const std::vector<luautils::PathStep>* activePath = nullptr;

// In development mode, reports the error value on top (which stays) as raised
// while reading field `name` (the scene walk's onUpdate by its own name), or
// by a generator of children for a null name.
void reportFailure(lua_State* L, const char* name) {
  if (!diagnostics::mode().debug) return;
  std::string what = !name                          ? std::string("generator function")
                     : strcmp(name, "onUpdate") == 0 ? std::string(name)
                                                     : std::string("field ") + name;
  script::reportSwallowed(L, what.c_str());
}

// node[name] without resolution. Tables are read raw first, which cannot
// fail and is what a plain lookup does anyway; the lookups that reach an
// __index, and userdata, run in protected mode. Anything else, and a lookup that
// raises an error, gives nil: a "strict" metatable raises for every name the
// framework probes and the game never set, which is no mistake of the game's.
void pushPlainField(lua_State* L, int node, const char* name) {
  // A field the visited node's snapshot does not show is not there.
  if (const nodefields::Snapshot* snapshot = nodefields::visiting(L, node)) {
    nodefields::Field field = nodefields::field(name);
    if (snapshot->known(field) && !snapshot->find(field)) {
      lua_pushnil(L);
      return;
    }
  }
  int type = lua_type(L, node);
  if (type == LUA_TTABLE) {
    nodefields::pushName(L, name);
    lua_rawget(L, node);
    // A table's __index is asked only for what the table lacks.
    if (!lua_isnil(L, -1) || !luaL_getmetafield(L, node, "__index")) return;
    lua_pop(L, 2);  // __index and the nil
  } else if (type != LUA_TUSERDATA) {
    lua_pushnil(L);
    return;
  }
  lua_pushcfunction(L, indexTable);
  lua_pushvalue(L, node);
  nodefields::pushName(L, name);
  if (script::pcall(L, 2, 1) != 0) {
    lua_pop(L, 1);
    lua_pushnil(L);
  }
}

// What the walk's snapshot (null: none) knows of a field: nothing (the table
// must be read), that the node lacks it, or its value. Functions, which must
// be called, and tables are read.
enum class Recorded { UNKNOWN, ABSENT, VALUE };
Recorded recorded(const nodefields::Snapshot* snapshot, nodefields::Field field,
                  const nodefields::Value*& value) {
  if (!snapshot || !snapshot->valid || !snapshot->known(field)) return Recorded::UNKNOWN;
  value = snapshot->find(field);
  if (!value) return Recorded::ABSENT;
  return value->type == LUA_TFUNCTION || value->type == LUA_TTABLE ? Recorded::UNKNOWN
                                                                    : Recorded::VALUE;
}

bool contains(const std::vector<const void*>& tables, const void* table) {
  for (const void* t : tables)
    if (t == table) return true;
  return false;
}

// Replaces the function on top by its result while it is one. The call gets
// the value at absolute index `node` as its one argument, or none for node 0.
// `name` is the field being read, for development mode's error reports.
void resolve(lua_State* L, int node, const char* name) {
  for (int calls = 0; lua_isfunction(L, -1); ++calls) {
    if (calls == MAX_RESOLUTIONS) {
      lua_pop(L, 1);
      lua_pushnil(L);
      return;
    }
    if (node != 0) lua_pushvalue(L, node);
    if (script::pcall(L, node != 0 ? 1 : 0, 1) != 0) reportFailure(L, name);
  }
}

// One walk's state: the tables entered (for cycles) and the path to the node.
struct Walking {
  std::vector<const void*> entered;
  std::vector<luautils::PathStep> path;
};

void enterChildren(lua_State* L, const luautils::TreeWalk& walk, Walking& walking, int node);

// The node on top (reached under the key below it unless it is the root).
void walkNode(lua_State* L, const luautils::TreeWalk& walk, Walking& walking) {
  luautils::StackCheck balanced(L, 0, walk.name);
  int node = lua_gettop(L);
  walking.path.push_back({node, walking.path.empty() ? 0 : node - 1});
  if (!walk.accept || walk.accept(L)) {
    if (!lua_checkstack(L, walk.stackSlots)) {
      luautils::reportCycle((std::string(walk.name) + " (scene too deep)").c_str());
    } else {
      if (walk.visit) walk.visit(L);
      if (!walk.childless || !walk.childless(L)) enterChildren(L, walk, walking, node);
    }
  }
  walking.path.pop_back();
}

void enterChildren(lua_State* L, const luautils::TreeWalk& walk, Walking& walking, int node) {
  walking.entered.push_back(lua_topointer(L, node));
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    if (lua_type(L, -2) == LUA_TSTRING) {
      if (walk.field) walk.field(L);
    } else {
      if (walk.callChildFunctions) resolve(L, 0, nullptr);
      if (lua_istable(L, -1)) {
        if (contains(walking.entered, lua_topointer(L, -1)))
          luautils::reportCycle(walk.name);
        else
          walkNode(L, walk, walking);
      }
    }
    lua_pop(L, 1);
  }
  walking.entered.pop_back();
}
}  // namespace

namespace luautils {
int absoluteIndex(lua_State* L, int index) {
  return index < 0 && index > LUA_REGISTRYINDEX ? lua_gettop(L) + index + 1 : index;
}

void pushField(lua_State* L, int index, const char* name) {
  StackCheck pushed(L, 1, "pushField");
  pushPlainField(L, absoluteIndex(L, index), name);
}

void pushGlobal(lua_State* L, const char* name) {
  StackCheck pushed(L, 1, "pushGlobal");
  pushPlainField(L, LUA_GLOBALSINDEX, name);
}

void setGlobal(lua_State* L, const char* name) {
  StackCheck popped(L, -1, "setGlobal");
  int value = lua_gettop(L);
  lua_pushstring(L, name);
  lua_rawget(L, LUA_GLOBALSINDEX);
  // __newindex is asked only for names the table lacks.
  bool asks = lua_isnil(L, -1) && luaL_getmetafield(L, LUA_GLOBALSINDEX, "__newindex");
  lua_pop(L, asks ? 2 : 1);
  if (asks) {
    lua_pushcfunction(L, assignTable);
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, name);
    lua_pushvalue(L, value);
    if (script::pcall(L, 3, 0) == 0) {
      lua_pop(L, 1);
      return;
    }
    lua_pop(L, 1);  // the error
  }
  lua_pushstring(L, name);
  lua_insert(L, -2);
  lua_rawset(L, LUA_GLOBALSINDEX);
}

#ifndef NDEBUG
StackCheck::~StackCheck() {
  int found = lua_gettop(L_);
  if (found == expected_) return;
  fprintf(stderr, "Lua stack unbalanced in %s: %d slots where %d were promised\n", where_, found,
          expected_);
  abort();
}
#endif

bool present(lua_State* L, const nodefields::Snapshot* node, const nodefields::Key& name) {
  // A raw read gives what the snapshot recorded, functions and tables
  // included, and a recorded value is never nil.
  if (node && node->valid && node->known(name.field)) return node->has(name.field);
  pushField(L, -1, name.name);
  bool found = !lua_isnil(L, -1);
  lua_pop(L, 1);
  return found;
}

void resolveTop(lua_State* L, int index, const char* name) {
  StackCheck replaced(L, 0, "resolveTop");
  resolve(L, absoluteIndex(L, index), name);
}

void pushResolvedField(lua_State* L, int index, const char* name) {
  StackCheck pushed(L, 1, "pushResolvedField");
  int node = absoluteIndex(L, index);
  pushPlainField(L, node, name);
  resolve(L, node, name);
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
  DLOG(LogLevel::Warning, "Scene table reachable from itself skipped in %s\n", where);
}

void walkTree(lua_State* L, const TreeWalk& walk) {
  Walking walking;
  const std::vector<PathStep>* outer = activePath;
  activePath = &walking.path;
  walkNode(L, walk, walking);
  activePath = outer;
}

const std::vector<PathStep>& ancestors() {
  static const std::vector<PathStep> none;
  return activePath ? *activePath : none;
}

void traverse(lua_State* L, HandlerQueue& enter) {
  static const nodefields::Key ENABLED("enabled"), ON_UPDATE("onUpdate");
  nodefields::WalkScope scope(L);
  // The snapshot of the node being entered; a node's accept, visit and
  // childless run one after the other, before any child is entered.
  const nodefields::Snapshot* taken = nullptr;
  TreeWalk walk;
  walk.name = "the scene walk";
  walk.stackSlots = 8;
  walk.callChildFunctions = true;
  walk.accept = [&taken](lua_State* state) {
    taken = lua_checkstack(state, 3) ? &nodefields::take(state) : nullptr;
    bool enabled = true;
    getBool(state, taken, ENABLED, &enabled);
    return enabled;
  };
  walk.visit = [&enter, &taken](lua_State* state) {
    bool none = taken && taken->valid && taken->known(ON_UPDATE.field) &&
                !taken->has(ON_UPDATE.field);
    if (!none) {
      pushResolvedField(state, -1, ON_UPDATE.name);
      lua_pop(state, 1);
      // What onUpdate changed is what the handlers see.
      if (!nodefields::visiting(state)) taken = &nodefields::take(state);
    }
    nodefields::beginHandlers(taken);
    for (auto& handler : enter) {
      StackCheck balanced(state, 0, "a scene walk handler");
      handler(state);
    }
    nodefields::endHandlers();
  };
  // A node whose snapshot still holds has no children unless it saw some.
  walk.childless = [&taken](lua_State*) {
    return taken && taken->valid && !taken->hasChildren;
  };
  walkTree(L, walk);
}
}  // namespace luautils

void getBool(lua_State* L, const nodefields::Key& name, bool* target) {
  luautils::StackCheck balanced(L, 0, "getBool");
  const nodefields::Value* value = nullptr;
  switch (recorded(nodefields::visiting(L), name.field, value)) {
    case Recorded::ABSENT:
      return;
    case Recorded::VALUE:
      if (value->type == LUA_TBOOLEAN) *target = value->boolean;
      return;
    case Recorded::UNKNOWN:
      break;
  }
  luautils::pushResolvedField(L, -1, name.name);
  if (lua_isboolean(L, -1)) *target = lua_toboolean(L, -1) != 0;
  lua_pop(L, 1);
}

void getBool(lua_State* L, const char* name, bool* target) {
  getBool(L, nodefields::Key(name), target);
}

bool getBool(lua_State* L, const char* name) {
  bool value = false;
  getBool(L, name, &value);
  return value;
}

template <typename T>
void setNumber(double value, T* target) {
  if constexpr (std::is_same_v<T, int>)
    *target = luautils::truncateToInt(value);
  else
    *target = static_cast<T>(value);
}

template <typename T>
void getNumber(lua_State* L, const nodefields::Key& name, T* target) {
  luautils::StackCheck balanced(L, 0, "getNumber");
  const nodefields::Value* value = nullptr;
  switch (recorded(nodefields::visiting(L), name.field, value)) {
    case Recorded::ABSENT:
      return;
    case Recorded::VALUE:
      // A string may read as a number: the interpreter decides that below.
      if (value->type != LUA_TSTRING) {
        if (value->type == LUA_TNUMBER) setNumber(value->number, target);
        return;
      }
      break;
    case Recorded::UNKNOWN:
      break;
  }
  luautils::pushResolvedField(L, -1, name.name);
  if (lua_isnumber(L, -1)) setNumber(lua_tonumber(L, -1), target);
  lua_pop(L, 1);
}
template void getNumber<float>(lua_State*, const nodefields::Key&, float*);
template void getNumber<int>(lua_State*, const nodefields::Key&, int*);

template <typename T>
void getNumber(lua_State* L, const char* name, T* target) {
  getNumber(L, nodefields::Key(name), target);
}
template void getNumber<float>(lua_State*, const char*, float*);
template void getNumber<int>(lua_State*, const char*, int*);

bool getString(lua_State* L, const nodefields::Snapshot* node, const nodefields::Key& name,
               std::string& target) {
  luautils::StackCheck balanced(L, 0, "getString");
  const nodefields::Value* value = nullptr;
  switch (recorded(node, name.field, value)) {
    case Recorded::ABSENT:
      return false;
    case Recorded::VALUE:
      // A number's text is the interpreter's: formatted below.
      if (value->type != LUA_TNUMBER) {
        if (value->type != LUA_TSTRING) return false;
        target = value->text;
        return true;
      }
      break;
    case Recorded::UNKNOWN:
      break;
  }
  luautils::pushResolvedField(L, -1, name.name);
  int type = lua_type(L, -1);
  bool succeeded = type == LUA_TSTRING || type == LUA_TNUMBER;
  if (succeeded) target = lua_tostring(L, -1);
  lua_pop(L, 1);
  return succeeded;
}

bool getString(lua_State* L, const nodefields::Key& name, std::string& target) {
  return getString(L, nodefields::visiting(L), name, target);
}

bool getString(lua_State* L, const char* name, std::string& target) {
  return getString(L, nodefields::Key(name), target);
}

std::string getString(lua_State* L, const char* name) {
  std::string value;
  getString(L, name, value);
  return value;
}

bool getNumbers(lua_State* L, const char* name, std::vector<float>& numbers) {
  luautils::StackCheck balanced(L, 0, "getNumbers");
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
  luautils::StackCheck balanced(L, 0, "getStrings");
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
