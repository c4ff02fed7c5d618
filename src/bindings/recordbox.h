// Record boxes: opaque boxes that own a copy of a native record which holds
// heap memory (a map, a vector), and destroy it when the interpreter collects
// the box. Plain bytes travel in value boxes (conventions::pushValueBox), which
// need no finaliser; these do. Like every box, one converts back to a pointer
// to its record of the box's type.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <new>

struct swig_type_info;

namespace recordbox {

// Pushes a new box of `type` with room for a record of `size` bytes and returns
// that room, aligned like a double. Until setDestructor arms it, collecting the
// box runs nothing.
void* reserve(lua_State* L, size_t size, swig_type_info* type);
// Arms the box at `index` (made by reserve) to run `destroy` on its record when
// it is collected; it runs at most once.
void setDestructor(lua_State* L, int index, void (*destroy)(void*));

// Pushes a new box of `type` holding a copy of `record`.
template <typename T>
void pushCopy(lua_State* L, const T& record, swig_type_info* type) {
  static_assert(alignof(T) <= alignof(double), "box storage is only double-aligned");
  new (reserve(L, sizeof(T), type)) T(record);
  setDestructor(L, -1, [](void* storage) { static_cast<T*>(storage)->~T(); });
}

}  // namespace recordbox
