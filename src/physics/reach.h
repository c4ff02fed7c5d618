// Whether a world the last scene walk reached may still step. The step runs
// after `update` and the input callbacks but before this frame's walk, so the
// walk's answer is a frame old: a node disabled meanwhile, the world node or
// one above it, must stop its world in this very frame. The walk's chain of
// tables from the scene's root to the world node is kept for that.
#pragma once

#include <lua.hpp>

#include <vector>

#include "core/luautils.h"
#include "physics/records.h"

namespace physics {
// Keeps the tables of `path` (the walk's ancestors(), the world node last)
// above the world node.
void rememberAncestors(lua_State* L, World& world, const std::vector<luautils::PathStep>& path);
// Whether the world node and every table kept above it still have `enabled`
// other than false, read afresh.
bool stillEnabled(lua_State* L, const World& world);
}  // namespace physics
