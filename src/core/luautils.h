// Scene-table helpers: how every part of the framework reads the script's scene
// tables. Each reads the table at the top of the Lua stack and leaves the stack
// as it found it; none of them prints anything (cycle refusals excepted, and
// development mode's reports of the errors that resolution swallows).
//
// Field resolution: a field holding a function is called with the owning table
// and its result used instead, repeatedly while the result is a function.
// Children of a node are its entries under non-string keys.
#pragma once

#include <lua.hpp>

#include <deque>
#include <functional>
#include <new>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "core/nodefields.h"

// Callbacks that the passes queue and the scene walk runs at every node.
using HandlerQueue = std::deque<std::function<void(lua_State*)>>;

namespace luautils {
int absoluteIndex(lua_State* L, int index);
// Pushes field `name` of the value at `index` without resolution; nil for values
// that cannot be indexed and for lookups whose metamethods raise errors.
void pushField(lua_State* L, int index, const char* name);
// Pushes the global `name` as pushField reads fields: a global table whose
// __index raises (a "strict" _G) gives nil for names the game never set.
void pushGlobal(lua_State* L, const char* name);
// Pops the value on top into the global `name`. A global table whose
// __newindex raises still gets the value, set raw: the framework's own globals
// must be there for the game to read.
void setGlobal(lua_State* L, const char* name);

// Proves that a scope leaves the Lua stack `change` slots above where it
// found it: a debug build aborts naming `where` when it does not; a release
// build compiles it to nothing. A Lua error that unwinds the scope skips it.
class StackCheck {
 public:
#ifdef NDEBUG
  StackCheck(lua_State*, int, const char*) {}
#else
  StackCheck(lua_State* L, int change, const char* where)
      : L_(L), expected_(lua_gettop(L) + change), where_(where) {}
  ~StackCheck();
  StackCheck(const StackCheck&) = delete;
  StackCheck& operator=(const StackCheck&) = delete;

 private:
  lua_State* L_;
  int expected_;
  const char* where_;
#endif
};
// Replaces the function on top of the stack by what it returns when called with
// the node at `index`, while the result is a function. A resolving call that
// raises an error leaves its error value. Endless chains end as nil. `name`
// names the field in development mode's error report.
void resolveTop(lua_State* L, int index, const char* name);
// pushField followed by resolveTop.
void pushResolvedField(lua_State* L, int index, const char* name);
// Whether the node on top has the field (not nil), read as pushField reads it;
// `node` as for the readers below.
bool present(lua_State* L, const nodefields::Snapshot* node, const nodefields::Key& name);
// The number as an int, truncated toward zero and clamped to the int range
// (NaN gives 0), so no out-of-range conversion can happen.
int truncateToInt(double value);
// Logs once per run that a table was met again below itself and skipped.
void reportCycle(const char* where);
}  // namespace luautils

void getBool(lua_State* L, const char* name, bool* target);
bool getBool(lua_State* L, const char* name);

template <typename T>
void getNumber(lua_State* L, const char* name, T* target);
extern template void getNumber<float>(lua_State*, const char*, float*);
extern template void getNumber<int>(lua_State*, const char*, int*);

bool getString(lua_State* L, const char* name, std::string& target);
std::string getString(lua_State* L, const char* name);
// The same readers for a name numbered once.
void getBool(lua_State* L, const nodefields::Key& name, bool* target);
template <typename T>
void getNumber(lua_State* L, const nodefields::Key& name, T* target);
extern template void getNumber<float>(lua_State*, const nodefields::Key&, float*);
extern template void getNumber<int>(lua_State*, const nodefields::Key&, int*);
bool getString(lua_State* L, const nodefields::Key& name, std::string& target);
// And with the visited node's snapshot at hand (nodefields::visiting of the
// node on top, asked once by a handler that reads many fields; null reads the
// table). It is consulted while it holds.
// (The common answers, a missing field or a number, are given inline.)
inline void getBool(lua_State* L, const nodefields::Snapshot* node, const nodefields::Key& name,
                    bool* target) {
  if (node && node->valid && node->known(name.field) && !node->has(name.field)) return;
  getBool(L, name, target);
}
template <typename T>
inline void getNumber(lua_State* L, const nodefields::Snapshot* node,
                      const nodefields::Key& name, T* target) {
  if (node && node->valid && node->known(name.field)) {
    if (!node->has(name.field)) return;
    const nodefields::Value& value = node->values[name.field];
    if (value.type == LUA_TNUMBER) {
      if constexpr (std::is_same_v<T, int>)
        *target = luautils::truncateToInt(value.number);
      else
        *target = static_cast<T>(value.number);
      return;
    }
  }
  getNumber(L, name, target);
}
bool getString(lua_State* L, const nodefields::Snapshot* node, const nodefields::Key& name,
               std::string& target);
bool getNumbers(lua_State* L, const char* name, std::vector<float>& numbers);
bool getStrings(lua_State* L, const char* name, std::vector<std::string>& strings);

// Depth-first search through array entries for fields called `name`; `f` runs
// with the value at -1, its key at -2 and the owning table at -3. A table met
// again below itself is skipped, so cyclic scenes cannot recurse forever.
void find(lua_State* L, const std::string& name, std::function<void(lua_State*)> f);

namespace luautils {
// One depth-first walk over the table on top and the tables below it under
// non-string keys, shared by `find` and the scene walk. A table met again below
// itself, or too deep for the Lua stack, is skipped and reported once per run.
// A table on a walk's path: its stack index, and the stack index of the key
// its parent holds it under (0 for the walk's root).
struct PathStep {
  int node = 0;
  int key = 0;
};
struct TreeWalk {
  const char* name = "";           // names the walk in the skip report
  int stackSlots = 4;              // free stack slots a node needs
  bool callChildFunctions = false; // a function child is called without
                                   // arguments until it gives a non-function
  // Node on top; false skips the node and everything below it. Optional.
  std::function<bool(lua_State*)> accept;
  // Node on top, after `accept` and the depth check. Optional.
  std::function<void(lua_State*)> visit;
  // Node on top, after `visit`: true when the node is known to have no
  // children, so its entries need not be searched. Optional.
  std::function<bool(lua_State*)> childless;
  // An entry under a string key: value at -1, key at -2, node at -3. Optional.
  std::function<void(lua_State*)> field;
};
void walkTree(lua_State* L, const TreeWalk& walk);
// Inside a walk's callbacks, the scene walk's handlers included: the tables
// from the innermost running walk's root down to the node being visited,
// the node itself last. Empty outside any walk.
const std::vector<PathStep>& ancestors();

// The scene walk of a frame: every enabled node from the one on top down gets
// its onUpdate(node) called (resolved like a field), then every handler of
// `enter` in order, with the node on top. While it runs, the readers above
// answer for the visited node from its snapshot (nodefields.h).
void traverse(lua_State* L, HandlerQueue& enter);
}  // namespace luautils

namespace luautils {
template <typename T>
int destroyRecord(lua_State* L) {
  static_cast<T*>(lua_touserdata(L, 1))->~T();
  return 0;
}

// Pushes the metatable that marks blocks holding a T and destroys them on
// collection.
template <typename T>
void pushRecordMetatable(lua_State* L) {
  static const std::string key = std::string("tarnwick.record.") + typeid(T).name();
  if (luaL_newmetatable(L, key.c_str())) {
    lua_pushcfunction(L, &destroyRecord<T>);
    lua_setfield(L, -2, "__gc");
  }
}
}  // namespace luautils

// The record of type T that getUserData keeps under `name` in the table at
// `index`, or null when the field holds anything else. Never creates the field.
template <typename T>
T* findUserData(lua_State* L, int index, const char* name) {
  if (!lua_istable(L, index)) return nullptr;
  int node = luautils::absoluteIndex(L, index);
  lua_pushstring(L, name);
  lua_rawget(L, node);
  T* record = nullptr;
  if (lua_type(L, -1) == LUA_TUSERDATA && lua_getmetatable(L, -1)) {
    luautils::pushRecordMetatable<T>(L);
    if (lua_rawequal(L, -1, -2)) record = static_cast<T*>(lua_touserdata(L, -3));
    lua_pop(L, 2);
  }
  lua_pop(L, 1);  // the table still holds the block, so the record stays valid
  return record;
}

// A record of type T kept in the node under `name` as a full userdata, created
// from `defaultValue` the first time. Only blocks made here for T are reused; any
// other value under `name` is replaced. The record's destructor runs when the
// interpreter collects the block.
template <typename T>
T* getUserData(lua_State* L, const char* name, const T& defaultValue) {
  static_assert(alignof(T) <= alignof(double), "userdata blocks are only double-aligned");
  if (T* record = findUserData<T>(L, -1, name)) return record;

  // The node gains a field: the walk's snapshot of it no longer holds, and
  // the order of its entries may change.
  nodefields::invalidate();
  void* block = lua_newuserdata(L, sizeof(T));
  T* record = new (block) T(defaultValue);
  luautils::pushRecordMetatable<T>(L);
  lua_setmetatable(L, -2);
  lua_pushstring(L, name);
  lua_insert(L, -2);
  lua_rawset(L, -3);
  return record;
}
