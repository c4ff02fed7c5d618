// The fields of the node the scene walk is visiting, read in one pass.
//
// Reading a field by name hashes the name and looks it up, and every pass reads
// its fields at every node for every camera. Instead, when the walk enters a
// node, one lua_next pass records the values of every field name the
// framework has asked for (a "snapshot"), and the readers of luautils.h answer
// from it while it holds. Lua 5.1 interns its strings, so a key is recognised
// by the address of its text: the names are interned once per interpreter and
// kept alive in its registry.
//
// A snapshot holds while nothing has run that could change the node: every
// call into the script goes through script::pcall (field resolution,
// metamethods, onUpdate, emit and curve functions, callbacks), which
// invalidates it, as does a record the framework adds to a table
// (getUserData); the readers then read the table again. The texts it holds
// stay alive for as long, since the node holds them. Nodes with a metatable
// are never recorded. A field whose value is a function is recorded by type
// only, a table by type and address; reading either reads the table.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <string>

namespace nodefields {
// A field name, numbered once for the whole run; the same name gives the same
// Field. Names beyond MAX_FIELDS are not numbered (NO_FIELD) and always read
// from the table.
using Field = int;
const Field NO_FIELD = -1;
const int MAX_FIELDS = 128;

Field field(const char* name);

// A field name numbered once, for readers that run at every node: with it
// they look nothing up by text (luautils.h).
struct Key {
  explicit Key(const char* text) : name(text), field(nodefields::field(text)) {}
  const char* name;
  Field field;
};

// One field as the snapshot found it.
struct Value {
  int type = LUA_TNIL;  // lua_type of the raw value
  double number = 0;    // a number
  const char* text = nullptr;  // a string (held by the node), `length` bytes
  size_t length = 0;
  bool boolean = false;
  void* userdata = nullptr;         // a full or light userdata
  const void* metatable = nullptr;  // a full userdata's metatable, or null
  const void* table = nullptr;      // a table's address (its fields are not recorded)
};

struct Snapshot {
  static const int WORD_BITS = 64;
  const void* node = nullptr;  // the table recorded
  bool valid = false;          // no script code has run since it was taken
  int fields = 0;              // names known when it was taken
  bool hasChildren = false;    // an entry under a key that is not a string
  bool prefixed = false;       // a field whose name starts with "u_"
  unsigned long long present[MAX_FIELDS / WORD_BITS] = {};  // a bit per field the node has
  Value values[MAX_FIELDS];    // meaningful where `present` says so

  bool known(Field name) const { return name >= 0 && name < fields; }
  bool has(Field name) const {
    return known(name) && (present[name / WORD_BITS] >> (name % WORD_BITS) & 1) != 0;
  }
  // The field's value, or null when the node has no such field (or the name
  // was first asked for after the snapshot was taken: then `known` is false).
  const Value* find(Field name) const { return has(name) ? &values[name] : nullptr; }
};

// The scene walk's part: a walk begins (per interpreter: names interned on
// first use), snapshots the node on top of the stack when it enters it, and
// ends. Outside a walk nothing is recorded and the readers read the tables.
void beginWalk(lua_State* L);
void endWalk();
const Snapshot& take(lua_State* L);
// A walk for the length of a scope.
struct WalkScope {
  explicit WalkScope(lua_State* L) { beginWalk(L); }
  ~WalkScope() { endWalk(); }
  WalkScope(const WalkScope&) = delete;
  WalkScope& operator=(const WalkScope&) = delete;
};

// The snapshot of the value at `index` (the top by default), if the walk is
// visiting that table and the snapshot still holds; else null.
const Snapshot* visiting(lua_State* L, int index = -1);
// The walk runs a node's handlers between beginHandlers and endHandlers.
// Meanwhile entered() is that node's snapshot while it holds, else null: what
// visiting() gives a handler on entry, without looking at the stack.
void beginHandlers(const Snapshot* node);
void endHandlers();
const Snapshot* entered();
// Script code is about to run (or a table gains a field): the snapshot no
// longer holds.
void invalidate();
// How many times invalidate() was called: while it is unchanged, nothing has
// run that could have changed a scene table.
unsigned long long changes();

// Pushes `name` as a Lua string: from the registry during a walk, where it
// was interned once, else by hashing the text.
void pushName(lua_State* L, const char* name);
}  // namespace nodefields
