// Shader names and uniform values read from scene nodes.
#pragma once

#include <map>
#include <string>

#include "core/luautils.h"
#include "render/graphics.h"

namespace renderutils {
// Overwrites vs and ps with the node's string fields `vs` and `fs`, if present.
void getShaders(std::string& vs, std::string& ps, lua_State* L);
// Sets uniforms[name] to {size, value}; adopts the malloc'd `value`.
void addUniform(std::map<std::string, Uniform>& uniforms, std::string name, size_t size,
                void* value);
// Sets uniforms[name] to a copy of the `size` bytes at `value`; nothing is
// added when the memory is not there.
void addCopy(std::map<std::string, Uniform>& uniforms, std::string name, const void* value,
             size_t size);
// Converts the key/value pair at the top of the stack into a uniform. The table
// being traversed sits below the pair; function values are called with it.
// A pair whose key is not a string makes no uniform.
void readUniform(lua_State* L, std::map<std::string, Uniform>& uniforms);
// Adds the node's "u_" fields.
void getPrefixedUniforms(lua_State* L, std::map<std::string, Uniform>& result);
// The node's "u_" fields, then its `uniforms` table (read last, so it wins).
// Function values anywhere in them are called with the node.
std::map<std::string, Uniform> getUniforms(lua_State* L);
}  // namespace renderutils
