// The one window and its OpenGL context: creation, teardown and SDL error
// reporting. Fatal SDL failures end the process with status 1.
#pragma once

#include <SDL.h>

#include <string>

extern SDL_Window* window;

namespace sdlutils {
// Set before SDLstart, from the command line and the script's config.
extern bool windowed;      // stay in a window of the configured size
extern bool resizable;     // the user may resize the window
extern bool vsyncWanted;   // false: swap interval 0, frames as fast as they come
extern std::string title;  // the game's title; empty: "Tarnwick", then the size titles
// Set by SDLstart.
extern bool vsyncEnabled;  // the swap interval paces the frame loop
}  // namespace sdlutils

void SDLstart(int width, int height);
void SDLquit();
[[noreturn]] void SDLdie(const char* msg);
void SDLcheckError(int line);
