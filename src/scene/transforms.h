// Node world matrices and camera projections. Every walked node gets its world
// matrix in its `__transform` field; cameras map world space to clip space.
#pragma once

#include <glm/glm.hpp>

#include "core/luautils.h"

namespace transforms {
// Queues the handler that stores every walked node's world matrix.
void prepare(lua_State* L, HandlerQueue& enter);
// Stores parent × T × Rz × Rx × Ry × S of the node on top in its __transform.
void createTransform(lua_State* L, glm::mat4 transform);
// The __transform of the node on top; identity for a node never walked.
glm::mat4 getTransform(lua_State* L);
// The world matrix of the table on top, composed from the walk's stack layout
// (T × S × Rz × Rx × Ry per level, root first).
glm::mat4 calcTransform(lua_State* L);
// Projection × inverse view of the camera table on top; the zero matrix (nothing
// drawn) when that would not be finite, e.g. for a camera of width 0.
glm::mat4 calcProjection(lua_State* L);
}  // namespace transforms
