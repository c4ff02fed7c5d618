// Full screen at the game's size when the display keeps its own: the host's
// side of the offscreen frame (render/screenframe.h). Decides each frame
// where drawing goes, and maps window positions back into the game's pixels,
// so the game sees the size it asked for, as after a display mode change.
#pragma once

namespace letterbox {
// Before drawing: in a full-screen run whose window does not have the
// configured size, the frame is drawn offscreen at that size; otherwise, and
// always with a window (--windowed, config.fullscreen = false), straight into
// the window.
void prepareFrame();
// After drawing: scales the offscreen frame into the window between black
// bars. Nothing when the frame went straight into the window.
void presentFrame();
// A position in window pixels as a position in the game's pixels, rounded
// down; it lies outside 0..size-1 on the bars. Unchanged with a window.
void toGame(int x, int y, int* gameX, int* gameY);
// A position in fractions of the window (0 to 1) as fractions of the game's
// frame. Unchanged with a window.
void toGameFraction(float x, float y, float* gameX, float* gameY);
}  // namespace letterbox
