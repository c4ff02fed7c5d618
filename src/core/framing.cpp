// The frame's placement in the window and positions mapped back through it.
#include "core/framing.h"

#include <algorithm>
#include <cmath>

#include "core/runstate.h"

namespace framing {
namespace {
bool scaled = false;
int windowWidth = 0;
int windowHeight = 0;
FramePlacement placement;
}  // namespace

void scaleInto(int width, int height) {
  windowWidth = width;
  windowHeight = height;
  placement = fitFrame(designWidth, designHeight, width, height);
  scaled = placement.width > 0 && placement.height > 0;
}

void unscaled() { scaled = false; }

void toGame(int x, int y, int* gameX, int* gameY) {
  if (!scaled) {
    *gameX = x;
    *gameY = y;
    return;
  }
  *gameX = static_cast<int>(
      std::floor(static_cast<double>(x - placement.x) * designWidth / placement.width));
  *gameY = static_cast<int>(
      std::floor(static_cast<double>(y - placement.y) * designHeight / placement.height));
}

void toGameFraction(float x, float y, float* gameX, float* gameY) {
  if (!scaled) {
    *gameX = x;
    *gameY = y;
    return;
  }
  *gameX = (x * static_cast<float>(windowWidth) - static_cast<float>(placement.x)) /
           static_cast<float>(placement.width);
  *gameY = (y * static_cast<float>(windowHeight) - static_cast<float>(placement.y)) /
           static_cast<float>(placement.height);
}
}  // namespace framing

FramePlacement fitFrame(int frameWidth, int frameHeight, int windowWidth, int windowHeight) {
  FramePlacement fitted;
  if (frameWidth <= 0 || frameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return fitted;
  double scale = std::min(static_cast<double>(windowWidth) / frameWidth,
                          static_cast<double>(windowHeight) / frameHeight);
  fitted.width = std::min(windowWidth, static_cast<int>(std::lround(frameWidth * scale)));
  fitted.height = std::min(windowHeight, static_cast<int>(std::lround(frameHeight * scale)));
  fitted.x = (windowWidth - fitted.width) / 2;
  fitted.y = (windowHeight - fitted.height) / 2;
  return fitted;
}
