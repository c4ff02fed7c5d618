// Record boxes on top of the generator's runtime: a box is its object record
// followed by the destructor to run and the record itself.
#include "bindings/recordbox.h"

#include "swigluarun.h"

namespace recordbox {
namespace {
const char* const METATABLE = "tarnwick.recordbox";

struct Box {
  swig_lua_userdata object;         // what the runtime reads: type and pointer
  void (*destroy)(void*);           // null until armed, and after it has run
  alignas(double) unsigned char storage[1];
};

int collect(lua_State* L) {
  auto* box = static_cast<Box*>(lua_touserdata(L, 1));
  if (box && box->destroy) {
    void (*destroy)(void*) = box->destroy;
    box->destroy = nullptr;
    box->object.ptr = nullptr;
    destroy(box->storage);
  }
  return 0;
}
}  // namespace

void* reserve(lua_State* L, size_t size, swig_type_info* type) {
  auto* box = static_cast<Box*>(lua_newuserdata(L, offsetof(Box, storage) + size));
  box->object.type = type;
  box->object.own = 0;
  box->object.ptr = box->storage;
  box->destroy = nullptr;
  if (luaL_newmetatable(L, METATABLE)) {
    lua_pushcfunction(L, collect);
    lua_setfield(L, -2, "__gc");
    // Opaque to scripts: getmetatable gives false and the finaliser stays put.
    lua_pushboolean(L, 0);
    lua_setfield(L, -2, "__metatable");
  }
  lua_setmetatable(L, -2);
  return box->storage;
}

void setDestructor(lua_State* L, int index, void (*destroy)(void*)) {
  static_cast<Box*>(lua_touserdata(L, index))->destroy = destroy;
}
}  // namespace recordbox
