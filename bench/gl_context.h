// The window and GL context that the drawing benchmarks share: a small window,
// made once per process. Needs a display (run under xvfb-run).
#pragma once

#include "host/sdlutils.h"
#include "render/graphics.h"

namespace bench {
inline void ensureContext() {
  if (window) return;
  sdlutils::windowed = true;
  SDLstart(320, 240);
  gr_init();
}
}  // namespace bench
