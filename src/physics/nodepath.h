// How physics warnings name a node: its `name` field when it has a text
// there, else its path of keys from the root, as `world[2][5]`.
#pragma once

#include <lua.hpp>

#include <string>
#include <vector>

#include "core/luautils.h"

namespace physics {
// The last table of `path` (a walk's ancestors(), or a part of them that
// starts at the table `rootName` names).
std::string nodePath(lua_State* L, const std::vector<luautils::PathStep>& path,
                     const std::string& rootName);
// The node on top: its name field, else `fallback`.
std::string nodeName(lua_State* L, const std::string& fallback);
}  // namespace physics
