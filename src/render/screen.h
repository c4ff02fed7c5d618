// The window's framebuffer and the GL context as the host sees them: clearing,
// the viewport, reading the drawn picture back, and the context's description
// in the log. Everything here needs a current GL context.
#pragma once

#include <vector>

#include "render/graphics.h"

// Clears the window's colour (to red, green, blue, opaque) and depth: the
// offscreen frame that stands for it while one is in use (render/screenframe.h).
// The depth clear waits for gr_prepareWindowDepth.
void gr_clearWindow(float red, float green, float blue);
// With the window bound, before a depth-tested draw into it: clears its depth
// if the last gr_clearWindow left that undone.
void gr_prepareWindowDepth();
// Clears the target's colour to transparent black, and its depth; the target
// stays bound.
void gr_clearTarget(const RenderTarget& target);
void gr_setViewport(int width, int height);
// The window's back buffer (the frame drawn but not yet swapped) as RGBA,
// 4 bytes a pixel, top row first.
std::vector<unsigned char> gr_readWindow(int width, int height);
// Logs the renderer, version, shading language, vendor and the largest
// texture side; empty texts when there is no context.
void gr_logContext();
