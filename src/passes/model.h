// The model pass: nodes naming a model or carrying inline vertices become one
// batch per mesh per matching camera.
#pragma once

#include "host/luautils.h"
#include "render/graphics.h"

namespace model {
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt);
}  // namespace model
