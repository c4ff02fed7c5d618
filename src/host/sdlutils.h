// The one window and its OpenGL context: creation, teardown and SDL error
// reporting. Fatal SDL failures end the process with status 1.
#pragma once

#include <SDL.h>

#include <string>

extern SDL_Window* window;

// How the window is opened: from the command line and the script's config.
struct WindowSettings {
  bool windowed = false;   // a window of the configured size, not full screen
  bool resizable = false;  // the player may resize the window
  bool vsync = true;       // false: swap interval 0, frames as fast as they come
  std::string title;       // the game's title; empty: "Tarnwick", then the size titles
};

namespace sdlutils {
// True once SDLstart has set a swap interval, which then paces the frame loop.
bool vsyncEnabled();
// The settings SDLstart opened the window with (defaults before it ran).
const WindowSettings& settings();
// True when SDLstart made the window full screen: the game then keeps its
// configured size whatever the window's.
bool fullScreen();
}  // namespace sdlutils

// Opens the window and its GL context, and logs what the context offers. Full
// screen is a display mode change when the display has a mode of the size;
// otherwise the window covers the display at its own mode (the frame loop then
// scales the game's frame into it, host/letterbox.h).
void SDLstart(int width, int height, const WindowSettings& settings);
// Closes the window and SDL; a page keeps its window and the last picture
// (platform::keepWindowAfterRun).
void SDLquit();
[[noreturn]] void SDLdie(const char* msg);
void SDLcheckError(int line);
