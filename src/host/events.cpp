// Input and window events: delivered to the script's callbacks or handled here.
#include <cstdio>

#include "audio/audio.h"
#include "core/log.h"
#include "core/runstate.h"
#include "core/scriptcall.h"
#include "host/frameloop.h"
#include "host/sdlutils.h"
#include "render/screen.h"

namespace frameloop {
namespace {
// Callbacks are looked up at each event and called without checking that they
// exist: a missing one shows up as a logged script error.
void callTouch(lua_State* L, Uint32 type, double finger, double x, double y) {
  lua_getglobal(L, "onTouchEvent");
  lua_pushnumber(L, type);
  lua_pushnumber(L, finger);
  lua_pushnumber(L, x);
  lua_pushnumber(L, y);
  script::call(L, 4, 0);
}

void setScreenSizeGlobals(lua_State* L, int w, int h) {
  lua_pushnumber(L, w);
  lua_setglobal(L, "screenWidth");
  lua_pushnumber(L, h);
  lua_setglobal(L, "screenHeight");
}

void handleWindowEvent(lua_State* L, const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      audio::pauseMusic();
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      audio::resumeMusic();
      break;
    default:
      break;
  }
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  gr_setViewport(w, h);
  screenWidth = w;
  screenHeight = h;
  char title[512];
  snprintf(title, sizeof title, "Tarnwick (%dx%d - %.2f - 1.33-1.78)", w, h,
           static_cast<double>(static_cast<float>(w) / static_cast<float>(h)));
  SDL_SetWindowTitle(window, title);
  setScreenSizeGlobals(L, w, h);
}
}  // namespace

void handleEvent(lua_State* L, const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      DLOG("Quit\n");
      quit = 1;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      lua_getglobal(L, "onKeyboardEvent");
      lua_pushboolean(L, event.type == SDL_KEYDOWN);
      lua_pushnumber(L, event.key.keysym.sym);
      script::call(L, 2, 0);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      lua_getglobal(L, "onMouseButtonEvent");
      lua_pushnumber(L, event.type);
      script::call(L, 1, 0);
      callTouch(L, event.type == SDL_MOUSEBUTTONDOWN ? SDL_FINGERDOWN : SDL_FINGERUP, 1,
                event.button.x, event.button.y);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      callTouch(L, event.type, static_cast<double>(event.tfinger.fingerId), event.tfinger.x,
                event.tfinger.y);
      break;
    case SDL_WINDOWEVENT:
      handleWindowEvent(L, event.window);
      break;
    default:
      break;
  }
}
}  // namespace frameloop
