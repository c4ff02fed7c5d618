// Full screen at the game's size when the display keeps its own: the host's
// side of the offscreen frame (render/screenframe.h). Decides each frame
// where drawing goes, and keeps core/framing.h up to date so input positions
// come out in the game's pixels, as after a display mode change. A window
// (--windowed, config.fullscreen = false) is never scaled.
#pragma once

namespace letterbox {
// Reads the window's size: in a full-screen window of another size than the
// configured one, positions are mapped back through the scaled frame. Called
// once the window is open and at every window event.
void followWindow();
// Before drawing: in a full-screen run whose drawable does not have the
// configured size, the frame is drawn offscreen at that size; otherwise
// straight into the window.
void prepareFrame();
// After drawing: scales the offscreen frame into the window between black
// bars. Nothing when the frame went straight into the window.
void presentFrame();
}  // namespace letterbox
