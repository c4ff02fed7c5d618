// Particle systems: emitters in the scene spawn, age and draw sprite particles.
#pragma once

#include "host/luautils.h"
#include "render/graphics.h"

namespace particles {
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt);
}  // namespace particles
