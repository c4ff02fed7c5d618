// How every drawing pass finds the cameras of `world` and numbers them, so that
// camera k of each pass draws into the same deque k of the batch matrix.
#pragma once

#include <glm/glm.hpp>

#include <functional>
#include <string>

#include "core/luautils.h"
#include "render/graphics.h"

namespace cameras {
// What a drawing pass needs of one camera, read when the camera is found.
struct Camera {
  int index = 0;           // its deque in the batch matrix
  glm::mat4 projection;    // projection × view
  std::string layer;       // only nodes of this layer are drawn
  std::string target;      // render target; empty is the window
};

// A camera's `depthTest` and `clearTarget` (both false unless set), for the
// passes that take them from the camera.
struct Switches {
  bool depthTest = false;
  bool clearTarget = false;
};

// Reads them from the camera table on top of the stack.
Switches readSwitches(lua_State* L);

// Calls `found` for every camera table that `find` reaches in `world` (on top of
// the stack), in traversal order, after making sure batchMatrix has its deque.
// `found` runs with the camera table on top of the stack. A `camera` field that
// is not a table is no camera and gets no number.
void forEach(lua_State* L, BatchMatrix& batchMatrix,
             const std::function<void(lua_State*, const Camera&)>& found);
}  // namespace cameras
