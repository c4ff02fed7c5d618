// The physics part of a frame, run after `update` and before the scene walk:
// every world the last walk reached finds its bodies' nodes (making, enabling,
// disabling and destroying bodies, and following the nodes the script
// moved), steps at its fixed time step over the time that has accumulated,
// writes the dynamic bodies' places into their nodes' x, y and rotation, and
// then delivers the contacts of those steps.
#pragma once

#include <lua.hpp>

namespace physics {
// `world` (the scene's root) on top of the stack; `seconds` the frame's dt.
void step(lua_State* L, double seconds);
// The most steps one frame takes; time beyond them is dropped, so a long
// stall does not make the next frames longer still.
const int MAX_STEPS_PER_FRAME = 8;
}  // namespace physics
