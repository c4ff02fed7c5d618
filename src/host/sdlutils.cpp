// SDL start-up in its fixed order, and the window's teardown.
#include "host/sdlutils.h"

#include <cstdio>
#include <cstdlib>

#include "core/log.h"
#include "render/screen.h"

SDL_Window* window = nullptr;

namespace {
SDL_GLContext context = nullptr;
const Uint32 ALL_SUBSYSTEMS = 0x7231;
bool swapIntervalSet = false;
}  // namespace

namespace sdlutils {
bool vsyncEnabled() { return swapIntervalSet; }
}  // namespace sdlutils

void SDLdie(const char* msg) {
  printf("%s: %s\n", msg, SDL_GetError());
  SDL_Quit();
  exit(1);
}

void SDLcheckError(int line) {
  const char* error = SDL_GetError();
  if (*error == '\0') return;
  printf("SDL Error: %s\n", error);
  if (line != -1) printf(" + line: %i\n", line);
  SDL_ClearError();
}

void SDLstart(int width, int height, bool windowed) {
  if (SDL_Init(ALL_SUBSYSTEMS) < 0) SDLdie("Unable to initialized SDL");

  SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);

  window = SDL_CreateWindow("Tarnwick", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                            height, SDL_WINDOW_OPENGL);
  if (window && !windowed) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
  SDL_ShowCursor(0);
  if (!window) SDLdie("Unable to initialize main window");
  SDLcheckError(63);

  context = SDL_GL_CreateContext(window);
  SDLcheckError(68);

  swapIntervalSet = true;
  if (SDL_GL_SetSwapInterval(1) < 0 && SDL_GL_SetSwapInterval(-1) < 0) {
    printf("Could not enable vsync\n");
    swapIntervalSet = false;
  }

  int red = 0, green = 0, blue = 0;
  SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &red);
  SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &green);
  SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &blue);
  DLOG("Red size: %d,\n Green size: %d,\n Blue size: %d\n", red, green, blue);

  gr_logContext();
}

void SDLquit() {
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  context = nullptr;
  window = nullptr;
}
