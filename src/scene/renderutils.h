// Shader names and uniform values read from scene nodes.
#pragma once

#include <string>

#include "core/luautils.h"
#include "render/graphics.h"

namespace renderutils {
// Overwrites vs and ps with the node's string fields `vs` and `fs`, if present.
void getShaders(std::string& vs, std::string& ps, lua_State* L);
// Sets uniforms[name] to a copy of the `size` bytes at `value`.
void addCopy(UniformSet& uniforms, const std::string& name, const void* value, size_t size);
// Converts the key/value pair at the top of the stack into a uniform. The table
// being traversed sits below the pair; function values are called with it.
// A pair whose key is not a string makes no uniform.
void readUniform(lua_State* L, UniformSet& uniforms);
// Adds the node's "u_" fields.
void getPrefixedUniforms(lua_State* L, UniformSet& result);
// Adds the node's "u_" fields, then its `uniforms` table (read last, so it
// wins). Function values anywhere in them are called with the node.
void getUniforms(lua_State* L, UniformSet& uniforms);
// The same with the node's snapshot at hand (nodefields::visiting of the node
// on top, or null).
void getUniforms(lua_State* L, const nodefields::Snapshot* node, UniformSet& uniforms);
UniformSet getUniforms(lua_State* L);
// In development mode, warns once per shader pair and name about each of the
// node's `uniforms` that the pair's program does not use. Nothing otherwise.
void warnUnusedUniforms(const std::string& vs, const std::string& fs,
                        const UniformSet& uniforms);
}  // namespace renderutils
