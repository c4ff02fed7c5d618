// The one window and its OpenGL context: creation, teardown and SDL error
// reporting. Fatal SDL failures end the process with status 1.
#pragma once

#include <SDL.h>

extern SDL_Window* window;

namespace sdlutils {
extern bool windowed;      // stay in a window of the configured size
extern bool vsyncEnabled;  // the swap interval paces the frame loop
}  // namespace sdlutils

void SDLstart(int width, int height);
void SDLquit();
[[noreturn]] void SDLdie(const char* msg);
void SDLcheckError(int line);
