// Debug outlines of one world for one camera: every shape (coloured by what
// its body is doing), every joint and every contact point, as thin quads in
// the world node's space, added at the end of the camera's batch list.
#pragma once

#include <glm/glm.hpp>

#include <string>

#include "physics/records.h"
#include "render/graphics.h"

namespace physics {
void drawWorld(const World& world, const glm::mat4& projection, const std::string& target,
               BatchList& list);
}  // namespace physics
