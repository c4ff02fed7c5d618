// The texture pass: every node naming a texture becomes one textured rectangle
// per camera whose layer matches the node's.
#pragma once

#include "core/luautils.h"
#include "render/graphics.h"

namespace textures {
// Finds the cameras in `world` (on top of the stack) and queues one handler per
// camera; camera k draws into batchMatrix[k].
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix);
// Writes the rectangle's six corner positions, transformed by the node's
// world matrix, at vertices + offset + k × stride.
void setPositions(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
                  lua_State* L);
// Writes the six texture coordinates of the sampled region.
void setUVs(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
            lua_State* L);
}  // namespace textures
