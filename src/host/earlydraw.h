// Drawing the first camera's finished batches while the scene walk is still
// making the rest, so that the rasteriser (llvmpipe's threads, or a GPU) works
// alongside the walk instead of after it.
//
// The picture is the one drawing after the walk gives. Early drawing happens
// only in a walk that runs no script code, since script code could change
// what the frame's clearing reads or draw around the batches; if any runs
// after an early draw, the frame is cleared again and drawn whole. It also
// waits for a frame without render targets, which a batch drawn early could
// sample before the clearing step clears them, and for a clearColor that
// reads without script code. A walk that ran script code makes the next
// frame draw after its walk only, so scenes with onUpdate functions pay
// nothing for it.
#pragma once

#include <lua.hpp>

#include "core/luautils.h"
#include "render/graphics.h"

namespace earlydraw {
// Before the walk, after the passes queued their handlers: queues the handler
// that draws early when this frame allows it. Off when the environment has
// TARNWICK_NO_EARLY_DRAW at start-up, for comparing pictures.
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix);

// After the walk, with `world` on top: clears what the frame still needs
// cleared and gives what of list 0 was drawn early and stands.
DrawnPrefix finish(lua_State* L);

// Turns early drawing on or off from the next frame.
void setEnabled(bool on);
}  // namespace earlydraw
