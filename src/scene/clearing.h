// The clearing step of a frame: the window to the script's clearColor, and the
// render target of every camera that names one.
#pragma once

#include <lua.hpp>

namespace clearing {
// Clears the window to clearColor (default 0.9, 0.6, 0.3) and the targets of
// the cameras in `world` (on top of the stack) unless a camera's clearTarget
// is false. Leaves the stack as it found it.
void clearFrame(lua_State* L);
// The two halves of clearFrame, for a frame whose window is cleared apart
// from its targets.
void clearWindow(lua_State* L);
void clearTargets(lua_State* L);
}  // namespace clearing
