// How every drawing pass finds the cameras of `world` and numbers them, so that
// camera k of each pass draws into the same list k of the batch matrix.
//
// Searching the whole scene for `camera` fields costs as much as walking it,
// and every pass and the clearing step ask. So, when the frame loop allows it,
// the fields found are remembered (as the chains of keys and tables that lead
// to them) and handed out again without a search while nothing has run that
// could have changed the scene (nodefields::changes): no script code, no new
// field in a table. Only the frame loop knows that every change to the scene
// goes through script code it runs; other callers (tests that change tables
// through the C API) search every time.
#pragma once

#include <glm/glm.hpp>

#include <functional>
#include <string>

#include "core/luautils.h"
#include "render/graphics.h"

namespace cameras {
// What a drawing pass needs of one camera, read when the camera is found.
struct Camera {
  int index = 0;           // its list in the batch matrix
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

// Whether the node on top is drawn by the camera: its `layer` (default empty)
// equals the camera's. `node` is its snapshot, or null (nodefields::visiting).
bool sees(lua_State* L, const nodefields::Snapshot* node, const Camera& camera);

// Calls `found` for every `camera` field that `find` reaches in `world` (on
// top of the stack), in traversal order, with the stack as `find` leaves it:
// the value on top, its key and the tables and keys that lead to it below.
void findAll(lua_State* L, const std::function<void(lua_State*)>& found);
// Whether findAll may hand out what it found before; off at start.
void setRemembering(bool enabled);

// Calls `found` for every camera table that findAll reaches, after making sure
// batchMatrix has its list. `found` runs with the camera table on top of the
// stack. A `camera` field that is not a table is no camera and gets no number.
void forEach(lua_State* L, BatchMatrix& batchMatrix,
             const std::function<void(lua_State*, const Camera&)>& found);
}  // namespace cameras
