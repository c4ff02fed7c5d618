// Where the game's frame goes and where it lands in a full-screen window.
#include "host/letterbox.h"

#include <cmath>

#include "host/host.h"
#include "host/sdlutils.h"
#include "render/screenframe.h"

namespace letterbox {
namespace {
bool offscreen = false;

// Where the game's frame lies in the window, in window (not drawable) pixels;
// false when window positions are the game's already: with a window, or when
// the window has the game's size.
bool placeInWindow(FramePlacement* placement, int* windowWidth, int* windowHeight) {
  if (sdlutils::windowed) return false;
  SDL_GetWindowSize(window, windowWidth, windowHeight);
  *placement = gr_fitFrame(designWidth, designHeight, *windowWidth, *windowHeight);
  return placement->width > 0 && placement->height > 0 &&
         (*windowWidth != designWidth || *windowHeight != designHeight);
}
}  // namespace

void prepareFrame() {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  offscreen = !sdlutils::windowed && width > 0 && height > 0 &&
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
  gr_presentScreenFrame(width, height, gr_fitFrame(designWidth, designHeight, width, height));
}

void toGame(int x, int y, int* gameX, int* gameY) {
  FramePlacement placement;
  int width = 0, height = 0;
  if (!placeInWindow(&placement, &width, &height)) {
    *gameX = x;
    *gameY = y;
    return;
  }
  *gameX = static_cast<int>(std::floor(static_cast<double>(x - placement.x) * designWidth /
                                       placement.width));
  *gameY = static_cast<int>(std::floor(static_cast<double>(y - placement.y) * designHeight /
                                       placement.height));
}

void toGameFraction(float x, float y, float* gameX, float* gameY) {
  FramePlacement placement;
  int width = 0, height = 0;
  if (!placeInWindow(&placement, &width, &height)) {
    *gameX = x;
    *gameY = y;
    return;
  }
  *gameX = (x * static_cast<float>(width) - static_cast<float>(placement.x)) /
           static_cast<float>(placement.width);
  *gameY = (y * static_cast<float>(height) - static_cast<float>(placement.y)) /
           static_cast<float>(placement.height);
}
}  // namespace letterbox
