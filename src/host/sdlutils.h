// The one window and its OpenGL context: creation, teardown and SDL error
// reporting. Fatal SDL failures end the process with status 1.
#pragma once

#include <SDL.h>

extern SDL_Window* window;

namespace sdlutils {
// True once SDLstart has set a swap interval, which then paces the frame loop.
bool vsyncEnabled();
}  // namespace sdlutils

// Opens the window (full screen unless `windowed`) and its GL context, and
// logs what the context offers.
void SDLstart(int width, int height, bool windowed);
void SDLquit();
[[noreturn]] void SDLdie(const char* msg);
void SDLcheckError(int line);
