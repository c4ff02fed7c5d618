// The frame loop: time step, update, input, the passes, the scene walk, the
// clearing step, drawing and the buffer swap, until quit is set.
#pragma once

#include <SDL.h>
#include <lua.hpp>

#include "core/luautils.h"
#include "host/options.h"

namespace frameloop {
// config.quitOnEscape: an Escape key held, or pressed during the frame's
// events, ends the run after the frame.
extern bool quitOnEscape;

// The frames of a run, one step() each, until `quit` is set. `lastFrame` is
// the tick count the first frame's time step is measured from.
struct Loop {
  Loop(lua_State* state, Uint32 lastFrameTicks, const Options& runOptions);
  // One frame with its buffer swap; false once the run has ended.
  bool step();
  // After the last frame: says so when the screenshot asked for was not taken.
  void end() const;

  lua_State* L;
  Options options;
  Uint32 lastFrame;
  int frame = 1;
  bool fixedStep = false;
  bool paced = false;
  bool shot = false;
};
// One frame without the buffer swap, with a time step of `dt` milliseconds.
// Expects an empty Lua stack and leaves it empty.
void runFrame(lua_State* L, Uint32 dt);
// Delivers one SDL event to the script or handles it (quit, window events).
void handleEvent(lua_State* L, const SDL_Event& event);
}  // namespace frameloop
