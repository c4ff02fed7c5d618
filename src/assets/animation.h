// Key-frame evaluation: an animation's curves at a point in time become the
// model transform translation × rotation × scale.
#pragma once

#include <glm/glm.hpp>

#include "assets/model_records.h"

namespace animation {
// The first curve driving `target`, or null.
const Curve* findCurve(const Animation& animation, Target target);
// The animation's transform `seconds` after its start; identity for no curves.
glm::mat4 evaluate(const Animation& animation, float seconds);
// The animation's transform at key-frame number `frame` (fractions interpolate).
glm::mat4 evaluateFrame(const Animation& animation, float frame);
}  // namespace animation
