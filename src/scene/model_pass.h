// The model pass: nodes naming a model or carrying inline vertices become one
// batch per mesh per matching camera, with the uniforms a lit model shader
// needs (transform, normalTransform, projection, color).
#pragma once

#include "core/luautils.h"
#include "render/graphics.h"

namespace modelpass {
// Adds dt (milliseconds) to the run's animation clock, reads the world-level
// switches of `world` (on top of the stack) and queues one handler per camera;
// camera k draws into batchMatrix[k]. Batches of named models borrow the
// cached vertex data; inline vertex lists are copied into batch-owned memory.
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt);
}  // namespace modelpass
