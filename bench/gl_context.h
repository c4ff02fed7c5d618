// The window and GL context that the drawing benchmarks share: a window (small
// unless asked otherwise), made once per process. Needs a display (run under
// xvfb-run).
#pragma once

#include "host/sdlutils.h"
#include "render/graphics.h"

namespace bench {
inline void ensureContext(int width = 320, int height = 240) {
  if (window) return;
  WindowSettings settings;
  settings.windowed = true;
  SDLstart(width, height, settings);
  gr_init();
}
}  // namespace bench
