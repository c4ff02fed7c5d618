// The game's frame when the display did not take the game's size: drawn
// offscreen at the game's size, then scaled into the window, centred, aspect
// kept, with black bars. The host decides when; this file only draws.
#pragma once

#include "render/gl.h"

#include "core/framing.h"

// From now on drawing meant for the window goes into an offscreen frame of
// this size (made on first use, remade when the size changes) and the viewport
// covers it; 0 x 0 draws into the window again.
void gr_useScreenFrame(int width, int height);
// The framebuffer that stands for the window: the offscreen frame while one is
// in use, else 0.
GLuint gr_screenFrameBuffer();
// Clears the window's framebuffer (windowWidth x windowHeight pixels) to
// black and scales the offscreen frame into `placement`. Leaves the window's
// framebuffer bound, so what is read back is what the window shows, and the
// viewport on the frame for the next drawing. Does nothing without a frame.
void gr_presentScreenFrame(int windowWidth, int windowHeight, const FramePlacement& placement);
