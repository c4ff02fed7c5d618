// Field names numbered once, interned once per interpreter, and the one-pass
// snapshot of the node the scene walk is visiting.
#include "core/nodefields.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace nodefields {
namespace {
// The names asked for so far, by Field.
std::vector<std::string>& names() {
  static std::vector<std::string> list;
  return list;
}

// Callers pass their names as literals, so the address of the text finds the
// Field at once; the text is compared to make sure.
struct CachedName {
  const char* text = nullptr;
  Field field = NO_FIELD;
};
const size_t NAME_CACHE = 256;
CachedName nameCache[NAME_CACHE];

// A slot for an address (`slots` a power of two): every bit counts, since
// literals may lie a byte apart.
size_t slotOf(const void* pointer, size_t slots) {
  auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
  return static_cast<size_t>((bits * 0x9E3779B97F4A7C15ull) >> 40) & (slots - 1);
}

// What one interpreter holds of the names: the registry reference and the
// address of the interned text of each. The registry entry under `anchorKey`
// marks the interpreter (a new one has none) and keeps the references, so an
// interpreter met again needs no new ones.
char anchorKey;
struct Session {
  const void* anchor = nullptr;
  std::vector<int> refs;
  std::vector<const char*> texts;
  // Interned text address -> Field, open addressing.
  static const size_t SLOTS = 512;
  const char* keys[SLOTS] = {};
  Field fields[SLOTS] = {};

  void clear() {
    refs.clear();
    texts.clear();
    std::fill(keys, keys + SLOTS, nullptr);
  }
  void add(const char* text, Field field) {
    size_t slot = slotOf(text, SLOTS);
    while (keys[slot]) slot = (slot + 1) & (SLOTS - 1);
    keys[slot] = text;
    fields[slot] = field;
  }
  Field lookup(const char* text) const {
    for (size_t slot = slotOf(text, SLOTS); keys[slot]; slot = (slot + 1) & (SLOTS - 1))
      if (keys[slot] == text) return fields[slot];
    return NO_FIELD;
  }
};
Session session;
int walks = 0;  // walks in progress
Snapshot current;
const Snapshot* handlersNode = nullptr;  // between beginHandlers and endHandlers
unsigned long long changeCount = 0;

// Interns the names not yet interned in this interpreter; the anchor table is
// on top of the stack.
void internNames(lua_State* L) {
  int anchor = lua_gettop(L);
  for (size_t field = session.refs.size(); field < names().size(); ++field) {
    lua_rawgeti(L, anchor, static_cast<int>(field) + 1);
    int ref;
    if (lua_isnumber(L, -1)) {
      ref = static_cast<int>(lua_tointeger(L, -1));
      lua_pop(L, 1);
    } else {
      lua_pop(L, 1);
      lua_pushlstring(L, names()[field].data(), names()[field].size());
      ref = luaL_ref(L, LUA_REGISTRYINDEX);
      lua_pushinteger(L, ref);
      lua_rawseti(L, anchor, static_cast<int>(field) + 1);
    }
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    const char* text = lua_tostring(L, -1);
    lua_pop(L, 1);
    session.refs.push_back(ref);
    session.texts.push_back(text);
    session.add(text, static_cast<Field>(field));
  }
}

void internPending(lua_State* L) {
  if (session.refs.size() == names().size()) return;
  lua_pushlightuserdata(L, &anchorKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
  internNames(L);
  lua_pop(L, 1);
}

void record(lua_State* L, Value& value) {
  value.type = lua_type(L, -1);
  switch (value.type) {
    case LUA_TNUMBER:
      value.number = lua_tonumber(L, -1);
      break;
    case LUA_TSTRING:
      value.text = lua_tolstring(L, -1, &value.length);
      break;
    case LUA_TBOOLEAN:
      value.boolean = lua_toboolean(L, -1) != 0;
      break;
    case LUA_TUSERDATA:
      value.userdata = lua_touserdata(L, -1);
      value.metatable = nullptr;
      if (lua_getmetatable(L, -1)) {
        value.metatable = lua_topointer(L, -1);
        lua_pop(L, 1);
      }
      break;
    case LUA_TLIGHTUSERDATA:
      value.userdata = lua_touserdata(L, -1);
      value.metatable = nullptr;
      break;
    case LUA_TTABLE:
      value.table = lua_topointer(L, -1);
      break;
    default:
      break;  // functions are read from the node itself
  }
}
}  // namespace

Field field(const char* name) {
  CachedName& cached = nameCache[slotOf(name, NAME_CACHE)];
  if (cached.text == name && strcmp(names()[static_cast<size_t>(cached.field)].c_str(), name) == 0)
    return cached.field;
  static std::unordered_map<std::string, Field> numbered;
  auto found = numbered.find(name);
  Field result = NO_FIELD;
  if (found != numbered.end()) {
    result = found->second;
  } else if (names().size() < static_cast<size_t>(MAX_FIELDS)) {
    result = static_cast<Field>(names().size());
    names().push_back(name);
    numbered.emplace(name, result);
  }
  if (result != NO_FIELD) cached = CachedName{name, result};
  return result;
}

void beginWalk(lua_State* L) {
  if (walks++ > 0) return;
  lua_pushlightuserdata(L, &anchorKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushlightuserdata(L, &anchorKey);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  const void* anchor = lua_topointer(L, -1);
  if (anchor != session.anchor) {
    session.clear();
    session.anchor = anchor;
  }
  internNames(L);
  lua_pop(L, 1);
}

void endWalk() {
  if (walks > 0 && --walks == 0) current.valid = false;
}

const Snapshot& take(lua_State* L) {
  internPending(L);
  int node = lua_gettop(L);
  current.node = lua_topointer(L, node);
  for (unsigned long long& word : current.present) word = 0;
  current.fields = static_cast<int>(session.refs.size());
  current.hasChildren = false;
  current.prefixed = false;
  current.valid = false;
  if (!lua_istable(L, node)) return current;
  if (lua_getmetatable(L, node)) {
    lua_pop(L, 1);
    return current;
  }
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    if (lua_type(L, -2) != LUA_TSTRING) {
      current.hasChildren = true;
    } else {
      const char* key = lua_tostring(L, -2);
      Field name = session.lookup(key);
      if (name != NO_FIELD) {
        current.present[name / Snapshot::WORD_BITS] |= 1ull << (name % Snapshot::WORD_BITS);
        record(L, current.values[name]);
      }
      if (key[0] == 'u' && key[1] == '_') current.prefixed = true;
    }
    lua_pop(L, 1);
  }
  current.valid = true;
  return current;
}

const Snapshot* visiting(lua_State* L, int index) {
  if (!current.valid || walks == 0 || lua_gettop(L) == 0) return nullptr;
  return lua_topointer(L, index) == current.node ? &current : nullptr;
}

void beginHandlers(const Snapshot* node) { handlersNode = node; }

void endHandlers() { handlersNode = nullptr; }

const Snapshot* entered() { return handlersNode && handlersNode->valid ? handlersNode : nullptr; }

void invalidate() {
  current.valid = false;
  ++changeCount;
}

unsigned long long changes() { return changeCount; }

void pushName(lua_State* L, const char* name) {
  if (walks > 0) {
    Field numbered = field(name);
    if (numbered != NO_FIELD) {
      if (static_cast<size_t>(numbered) >= session.refs.size()) internPending(L);
      lua_rawgeti(L, LUA_REGISTRYINDEX, session.refs[static_cast<size_t>(numbered)]);
      return;
    }
  }
  lua_pushstring(L, name);
}
}  // namespace nodefields
