// Key-frame evaluation: an animation's curves at a point in time become the
// model transform translation × rotation × scale; and which curves can be
// evaluated at all.
#pragma once

#include <glm/glm.hpp>

#include <cfloat>

#include "assets/model_records.h"

namespace animation {
// The largest magnitude a key-frame value may have: half the float range, so
// the difference of any two is finite and a + (b - a) t never meets
// infinity × 0 between key frames.
const float MAX_KEY_VALUE = FLT_MAX / 2;

// True when every value of the field the curve drives lies within
// MAX_KEY_VALUE (so none is infinite or NaN); a curve of no known target
// drives nothing and passes.
bool interpolable(const Curve& curve);
// The first curve driving `target`, or null.
const Curve* findCurve(const Animation& animation, Target target);
// The animation's transform `seconds` after its start; identity for no curves.
glm::mat4 evaluate(const Animation& animation, float seconds);
// The animation's transform at key-frame number `frame` (fractions interpolate).
glm::mat4 evaluateFrame(const Animation& animation, float frame);
}  // namespace animation
