// Where the game's frame lies in the window while a full-screen run scales it
// (the display kept its own size), and the mapping of window positions back
// into the game's pixels, so input reads as after a display mode change. The
// host keeps the state; events and the app module read it. Pure arithmetic,
// no SDL and no GL.
#pragma once

// A rectangle of the window, in pixels: x from the left, y from the top.
struct FramePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The largest placement of a frame that fits the window with its aspect kept,
// centred (an odd leftover pixel goes to the right or bottom bar); all 0 when
// a size is not positive.
FramePlacement fitFrame(int frameWidth, int frameHeight, int windowWidth, int windowHeight);

namespace framing {
// The game's frame (designWidth x designHeight) is scaled into a window of
// this size, in window pixels.
void scaleInto(int windowWidth, int windowHeight);
// Window pixels are the game's pixels again (a window, or a granted mode).
void unscaled();
// A position in window pixels as the game's pixels, rounded down; outside
// 0 .. size - 1 over the bars.
void toGame(int x, int y, int* gameX, int* gameY);
// A position in fractions of the window (0 to 1) as fractions of the frame.
void toGameFraction(float x, float y, float* gameX, float* gameY);
}  // namespace framing
