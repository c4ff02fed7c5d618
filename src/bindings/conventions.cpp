// Shared binding behaviour on top of the generator's runtime. The runtime's
// record layouts come from its own external-runtime header, generated at build
// time, so they always match the generated modules.
#include "bindings/conventions.h"

#include <cstring>

#include "swigluarun.h"

namespace conventions {
namespace {
// Whether `type` is one of the types that the modules of this interpreter
// registered in their shared list. Only compares addresses.
bool isRegisteredType(lua_State* L, const swig_type_info* type) {
  swig_module_info* first = SWIG_Lua_GetModule(L);
  swig_module_info* module = first;
  while (module) {
    for (size_t i = 0; i < module->size; ++i)
      if (module->types[i] == type) return true;
    module = module->next;
    if (module == first) break;
  }
  return false;
}

const swig_lua_userdata* objectAt(lua_State* L, int index) {
  return isObject(L, index) ? static_cast<const swig_lua_userdata*>(lua_touserdata(L, index)) : nullptr;
}
}  // namespace

bool isObject(lua_State* L, int index) {
  // A foreign userdata may be smaller than the record or hold anything, so the
  // first field is copied out and only compared, never followed, until it is
  // known to be one of ours.
  if (lua_type(L, index) != LUA_TUSERDATA || lua_objlen(L, index) < sizeof(swig_lua_userdata)) return false;
  const swig_type_info* type = nullptr;
  std::memcpy(&type, lua_touserdata(L, index), sizeof type);
  return isRegisteredType(L, type);
}

const char* typeName(lua_State* L, int index) {
  if (const swig_lua_userdata* object = objectAt(L, index)) {
    if (object->type->str) return object->type->str;
  } else if (!lua_isuserdata(L, index)) {
    return lua_typename(L, lua_type(L, index));
  }
  return "userdata (unknown type)";
}

int type(lua_State* L) {
  lua_pushstring(L, typeName(L, 1));
  return 1;
}

int equals(lua_State* L) {
  const swig_lua_userdata* a = objectAt(L, 1);
  const swig_lua_userdata* b = objectAt(L, 2);
  if (!a || !b) return 0;
  lua_pushboolean(L, a->ptr == b->ptr);
  return 1;
}

int toString(lua_State* L) {
  const char* name = nullptr;
  if (lua_getmetatable(L, 1)) {
    lua_pushstring(L, ".type");
    lua_rawget(L, -2);
    name = lua_tostring(L, -1);
  }
  lua_pushfstring(L, "<%s userdata: %p>", name ? name : typeName(L, 1), lua_topointer(L, 1));
  return 1;
}

void pushValueBox(lua_State* L, const void* bytes, size_t size, swig_type_info* type) {
  if (!bytes || size == 0) {
    lua_pushnil(L);
    return;
  }
  auto* box = static_cast<swig_lua_userdata*>(lua_newuserdata(L, sizeof(swig_lua_userdata) + size));
  box->type = type;
  box->own = 0;
  box->ptr = box + 1;
  std::memcpy(box + 1, bytes, size);
}

size_t valueBoxSize(lua_State* L, int index) {
  const swig_lua_userdata* box = objectAt(L, index);
  if (!box || box->ptr != box + 1) return 0;
  return lua_objlen(L, index) - sizeof(swig_lua_userdata);
}

void keepOwner(lua_State* L, int index, int owner) {
  if (index < 0) index = lua_gettop(L) + index + 1;
  if (!isObject(L, index) || !isObject(L, owner)) return;
  // The userdata's environment table is unused otherwise.
  lua_createtable(L, 1, 0);
  lua_pushvalue(L, owner);
  lua_rawseti(L, -2, 1);
  lua_setfenv(L, index);
}

void install(lua_State* L, lua_CFunction generatedToString) {
  lua_pushcfunction(L, type);
  lua_setglobal(L, "swig_type");
  lua_pushcfunction(L, equals);
  lua_setglobal(L, "swig_equals");

  // The generator keeps the class metatables in the registry table "SWIG".
  lua_pushstring(L, "SWIG");
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (lua_istable(L, -1)) {
    lua_pushnil(L);
    while (lua_next(L, -2)) {
      if (lua_istable(L, -1)) {
        lua_pushstring(L, "__tostring");
        lua_rawget(L, -2);
        bool generated = lua_tocfunction(L, -1) == generatedToString;
        lua_pop(L, 1);
        if (generated) {
          lua_pushstring(L, "__tostring");
          lua_pushcfunction(L, toString);
          lua_rawset(L, -3);
        }
      }
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 1);
}

}  // namespace conventions
