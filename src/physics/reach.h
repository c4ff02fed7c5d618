// Whether a world the last scene walk reached may still step. The step runs
// after `update` and the input callbacks but before this frame's walk, so the
// walk's answer is a frame old: a node disabled meanwhile, the world node or
// one above it, must stop its world in this very frame. The walk's chain of
// tables from the scene's root to the world node is kept for that.
#pragma once

#include <lua.hpp>

#include "physics/records.h"

namespace physics {
// Keeps the tables at stack slots first, first + 2, ..., up to but not
// including the world node's slot `node`: the walk's chain above it.
void rememberAncestors(lua_State* L, World& world, int first, int node);
// Whether the world node and every table kept above it still have `enabled`
// other than false, read afresh.
bool stillEnabled(lua_State* L, const World& world);
}  // namespace physics
