// How physics warnings name a node: its `name` field when it has a text
// there, else its path of keys from the root, as `world[2][5]`.
#pragma once

#include <lua.hpp>

#include <string>

namespace physics {
// The node at stack position `node`, reached from the table at `root` by a
// walk that keeps the chain of tables and keys on the stack (root, key,
// child, key, ..., node); `rootName` names the root.
std::string nodePath(lua_State* L, int root, int node, const std::string& rootName);
// The node on top: its name field, else `fallback`.
std::string nodeName(lua_State* L, const std::string& fallback);
}  // namespace physics
