// What differs between the desktop and a web page: who drives the frames,
// whether the window outlives the run, the GL context and the shading
// language it compiles, keeping the save folder, and where an error line
// shows besides the log.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {
// Whether this build runs on a web page.
bool browser();

// Calls `frame` until it returns false, then `finish`. The desktop loops here
// and returns after `finish`; a page calls `frame` once per animation frame,
// and this returns at once, before any frame (the callables are kept).
void runFrames(std::function<bool()> frame, std::function<void()> finish);

// Whether the window outlives the run, showing its last picture: on a page
// the canvas stays (closing SDL's window would size it to 0 x 0), and its
// input handlers are removed here, so the page's keys and scrolling work
// again. The desktop closes its window.
bool keepWindowAfterRun();

// The run ended with exit status `status`: a page says so to its script.
void ended(int status);

// Ends the process at once with `status` (a page: its frames stop, and it is
// told the status).
[[noreturn]] void exitNow(int status);

// The GL context the window gives: desktop OpenGL (2.1 or later, with the
// compatibility profile's client-side vertex arrays), or WebGL 2 (OpenGL ES 3
// in a browser). The renderer's capability record is filled from it.
enum class GraphicsContext { DesktopGL, WebGL2 };
GraphicsContext graphicsContext();

// A GLSL 1.20 shader's text as the context compiles it: unchanged on the
// desktop, GLSL ES 1.00 on a page.
std::string shaderSource(const std::string& source);

// The save folder's files changed on disk: a page copies them into the
// browser's storage.
void savesChanged();

// A Lua error's text, also shown on the page's panel.
void reportError(const char* text, size_t length);
}  // namespace platform
