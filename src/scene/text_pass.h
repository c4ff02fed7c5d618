// The text pass: every node with `text` becomes glyph quads, per camera whose
// layer matches the node's, set by assets/textlayout.h and placed by the node's
// world matrix. Node fields: `text` (a string, or a number shown as text),
// `font` (default: the default font), `size` (pixels, default 16), `align`,
// `valign`, `maxWidth`, the `color` uniform (default white) and `layer`.
//
// The glyphs of a node go into one batch per glyph sheet, and a node whose
// glyphs lie on the sheet of the camera's last batch joins that batch when
// nothing else was drawn in between and its other uniforms are the same, so
// runs of text nodes cost one draw. Colour travels with the vertices for that.
// Nothing joins while draw merging is off, nor under a camera that clears its
// render target before each node (`clearTarget = true`).
//
// Under an orthographic camera that shows the text unrotated at one unit a
// pixel, each glyph is put on whole pixels of the camera's target.
#pragma once

#include "core/luautils.h"
#include "render/graphics.h"

namespace textpass {
// Finds the cameras in `world` (on top of the stack) and queues one handler per
// camera; camera k draws into batchMatrix[k].
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix);
}  // namespace textpass
