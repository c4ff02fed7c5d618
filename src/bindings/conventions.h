// The script-visible behaviour that every generated module shares but that the
// generator's own runtime gets wrong or leaves unsafe: recognising which
// userdata are binding objects, the global helpers swig_type and swig_equals,
// and the text form of objects. The generated code reaches these through
// conventions.i; nothing here raises a script error.
#pragma once

#include <lua.hpp>

#include <cstddef>

struct swig_type_info;

namespace conventions {

// True when the value at `index` is a full userdata made by a binding module
// (an object or an opaque box), so its type and pointer may be read.
bool isObject(lua_State* L, int index);

// The type name used by swig_type and in argument errors: the bound type for
// binding objects, "userdata (unknown type)" for any other userdata, else the
// interpreter's type name.
const char* typeName(lua_State* L, int index);

// swig_type(value) and swig_equals(a, b) as scripts call them.
int type(lua_State* L);
int equals(lua_State* L);

// __tostring of bound classes: "<Class userdata: address of the userdata>".
int toString(lua_State* L);

// Value boxes: an opaque userdata of `type` that holds a copy of `size` bytes
// itself and points at them, so nothing outlives it and nothing needs freeing.
// Pushes nil when there are no bytes.
void pushValueBox(lua_State* L, const void* bytes, size_t size, swig_type_info* type);
// The number of bytes a value box at `index` holds; 0 for any other value.
size_t valueBoxSize(lua_State* L, int index);

// Makes the value at `index` (a userdata that points into the record of the
// object at `owner`) keep that object alive. Does nothing for other values.
void keepOwner(lua_State* L, int index, int owner);

// Run at the end of every opener: sets the global helpers again and replaces
// the generator's text form (`generatedToString`) in every class metatable
// registered so far. Leaves the stack as it found it.
void install(lua_State* L, lua_CFunction generatedToString);

}  // namespace conventions
