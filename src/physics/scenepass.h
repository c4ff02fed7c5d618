// The physics worlds' part of the scene walk: finding world nodes (and the
// world matrix and cameras each is drawn with), warning about bodies outside
// any world, and, after the walk, the debug drawing of worlds whose
// `physics.debugDraw` is true, over everything else their cameras draw.
#pragma once

#include "core/luautils.h"
#include "render/graphics.h"

namespace physics {
// With `world` on top, as the scene walk will start from it. Queue it after
// transforms::prepare: it reads the world node's matrix.
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix);
// After the walk: the debug outlines of the worlds it reached.
void finish(BatchMatrix& batchMatrix);
// How many walks prepare has begun; a world visited by the last one has it as
// its `reached`.
unsigned walkNumber();
}  // namespace physics
