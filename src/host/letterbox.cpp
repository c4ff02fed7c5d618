// Where the game's frame goes and where it lands in a full-screen window.
#include "host/letterbox.h"

#include "core/framing.h"
#include "core/runstate.h"
#include "host/sdlutils.h"
#include "render/screenframe.h"

namespace letterbox {
namespace {
bool offscreen = false;
}  // namespace

void followWindow() {
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (sdlutils::fullScreen() && (width != designWidth || height != designHeight))
    framing::scaleInto(width, height);
  else
    framing::unscaled();
}

void prepareFrame() {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  offscreen = sdlutils::fullScreen() && width > 0 && height > 0 &&
              (width != designWidth || height != designHeight);
  if (offscreen)
    gr_useScreenFrame(designWidth, designHeight);
  else
    gr_useScreenFrame(0, 0);
}

void presentFrame() {
  if (!offscreen) return;
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  gr_presentScreenFrame(width, height, fitFrame(designWidth, designHeight, width, height));
}
}  // namespace letterbox
