// SDL start-up in its fixed order, and the window's teardown.
#include "host/sdlutils.h"

#include <cstdio>
#include <cstdlib>

#include "core/framing.h"
#include "core/log.h"
#include "platform/platform.h"
#include "render/screen.h"

SDL_Window* window = nullptr;

namespace {
SDL_GLContext context = nullptr;
const Uint32 ALL_SUBSYSTEMS = 0x7231;
bool swapIntervalSet = false;
WindowSettings opened;
bool wentFullScreen = false;

// True full screen at the requested size when the display has that mode (a
// mode change). Otherwise the window takes the whole display at the display's
// own mode. The window is sized and placed by hand first: without a window
// manager nothing else would make it cover the display.
void goFullScreen(int width, int height) {
  int display = SDL_GetWindowDisplayIndex(window);
  SDL_DisplayMode wanted = {};
  wanted.w = width;
  wanted.h = height;
  SDL_DisplayMode closest = {};
  if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && closest.w == width &&
      closest.h == height) {
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    return;
  }
  SDL_Rect bounds = {};
  if (SDL_GetDisplayBounds(display, &bounds) == 0) {
    // The size the frame is drawn at between the bars, not the display's.
    FramePlacement drawn = fitFrame(width, height, bounds.w, bounds.h);
    DLOG(LogLevel::Warning, "The display has no %dx%d mode: the game is scaled to %dx%d\n", width,
         height, drawn.width, drawn.height);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
  }
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}
}  // namespace

namespace sdlutils {
bool vsyncEnabled() { return swapIntervalSet; }
const WindowSettings& settings() { return opened; }
bool fullScreen() { return wentFullScreen; }
}  // namespace sdlutils

void SDLdie(const char* msg) {
  printf("%s: %s\n", msg, SDL_GetError());
  SDL_Quit();
  platform::exitNow(1);
}

void SDLcheckError(int line) {
  const char* error = SDL_GetError();
  if (*error == '\0') return;
  printf("SDL Error: %s\n", error);
  if (line != -1) printf(" + line: %i\n", line);
  SDL_ClearError();
}

namespace {
void setSwapInterval(bool vsync) {
  swapIntervalSet = vsync;
  if (!vsync) {
    SDL_GL_SetSwapInterval(0);
  } else if (SDL_GL_SetSwapInterval(1) < 0 && SDL_GL_SetSwapInterval(-1) < 0) {
    printf("Could not enable vsync\n");
    swapIntervalSet = false;
  }
}
}  // namespace

void SDLstart(int width, int height, const WindowSettings& settings) {
  opened = settings;
  if (SDL_Init(ALL_SUBSYSTEMS) < 0) SDLdie("Unable to initialized SDL");

  SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  if (platform::browser()) {
    // WebGL 2: the renderer needs texture storage, blits and 32-bit indices.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  }

  Uint32 flags = SDL_WINDOW_OPENGL | (settings.resizable ? SDL_WINDOW_RESIZABLE : 0);
  const char* title = settings.title.empty() ? "Tarnwick" : settings.title.c_str();
  window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            flags);
  wentFullScreen = window && !settings.windowed;
  if (wentFullScreen) goFullScreen(width, height);
  SDL_ShowCursor(0);
  if (!window) SDLdie("Unable to initialize main window");
  SDLcheckError(63);

  context = SDL_GL_CreateContext(window);
  SDLcheckError(68);

  // A page's frames come at the browser's pace, which it does not let us set.
  if (!platform::browser()) setSwapInterval(settings.vsync);

  int red = 0, green = 0, blue = 0;
  SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &red);
  SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &green);
  SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &blue);
  DLOG(LogLevel::Info, "Red size: %d,\n Green size: %d,\n Blue size: %d\n", red, green, blue);

  gr_logContext();
}

void SDLquit() {
  if (platform::keepWindowAfterRun()) {
    // The window and its context stay, and with them the last picture; the
    // rest (sound, controllers, timers) stops.
    SDL_QuitSubSystem(ALL_SUBSYSTEMS & ~(SDL_INIT_VIDEO | SDL_INIT_EVENTS));
    return;
  }
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  context = nullptr;
  window = nullptr;
}
