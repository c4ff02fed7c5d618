// Input and window events: delivered to the script's callbacks or handled here.
#include <cstdio>

#include "audio/audio.h"
#include "bindings/inputedges.h"
#include "core/framing.h"
#include "core/log.h"
#include "core/luautils.h"
#include "core/runstate.h"
#include "core/scriptcall.h"
#include "host/frameloop.h"
#include "host/letterbox.h"
#include "host/sdlutils.h"
#include "render/screen.h"

namespace frameloop {
namespace {
// Callbacks are looked up at each event and called without checking that they
// exist: a missing one shows up as a logged script error.
void callTouch(lua_State* L, Uint32 type, double finger, double x, double y) {
  luautils::pushGlobal(L, "onTouchEvent");
  lua_pushnumber(L, type);
  lua_pushnumber(L, finger);
  lua_pushnumber(L, x);
  lua_pushnumber(L, y);
  script::call(L, 4, 0, "onTouchEvent");
}

// Pushes the global callback `name` and returns true when it is a function;
// otherwise leaves nothing. For the callbacks a game may leave out.
bool pushDefined(lua_State* L, const char* name) {
  luautils::pushGlobal(L, name);
  if (lua_isfunction(L, -1)) return true;
  lua_pop(L, 1);
  return false;
}

void callMouseButton(lua_State* L, const SDL_MouseButtonEvent& event) {
  inputedges::noteButton(event.button, event.type == SDL_MOUSEBUTTONDOWN);
  int x = 0, y = 0;
  framing::toGame(event.x, event.y, &x, &y);
  luautils::pushGlobal(L, "onMouseButtonEvent");
  lua_pushnumber(L, event.type);
  lua_pushnumber(L, event.button);
  lua_pushnumber(L, x);
  lua_pushnumber(L, y);
  script::call(L, 4, 0, "onMouseButtonEvent");
  callTouch(L, event.type == SDL_MOUSEBUTTONDOWN ? SDL_FINGERDOWN : SDL_FINGERUP, 1, x, y);
}

void callMouseMove(lua_State* L, const SDL_MouseMotionEvent& event) {
  if (!pushDefined(L, "onMouseMoveEvent")) return;
  // The step is taken between mapped positions, so steps add up to the moves.
  int x = 0, y = 0, fromX = 0, fromY = 0;
  framing::toGame(event.x, event.y, &x, &y);
  framing::toGame(event.x - event.xrel, event.y - event.yrel, &fromX, &fromY);
  lua_pushnumber(L, x);
  lua_pushnumber(L, y);
  lua_pushnumber(L, x - fromX);
  lua_pushnumber(L, y - fromY);
  script::call(L, 4, 0, "onMouseMoveEvent");
}

void callMouseWheel(lua_State* L, const SDL_MouseWheelEvent& event) {
  if (!pushDefined(L, "onMouseWheelEvent")) return;
  // Positive is right and away from the user, whatever the system's setting.
  // (Subtracting from 0 turns a still axis into 0, not -0.)
  bool flipped = event.direction == SDL_MOUSEWHEEL_FLIPPED;
  lua_pushnumber(L, flipped ? 0.0f - event.preciseX : event.preciseX);
  lua_pushnumber(L, flipped ? 0.0f - event.preciseY : event.preciseY);
  script::call(L, 2, 0, "onMouseWheelEvent");
}

void callTextInput(lua_State* L, const SDL_TextInputEvent& event) {
  if (!pushDefined(L, "onTextInput")) return;
  lua_pushstring(L, event.text);
  script::call(L, 1, 0, "onTextInput");
}

void callGamepadButton(lua_State* L, const SDL_ControllerButtonEvent& event) {
  if (!pushDefined(L, "onGamepadEvent")) return;
  lua_pushboolean(L, event.type == SDL_CONTROLLERBUTTONDOWN);
  lua_pushnumber(L, event.button);
  lua_pushnumber(L, event.which);
  script::call(L, 3, 0, "onGamepadEvent");
}

void callGamepadAxis(lua_State* L, const SDL_ControllerAxisEvent& event) {
  if (!pushDefined(L, "onGamepadAxis")) return;
  // -32768 .. 32767 becomes -1 .. 1.
  double value = event.value < 0 ? event.value / 32768.0 : event.value / 32767.0;
  lua_pushnumber(L, event.axis);
  lua_pushnumber(L, value);
  lua_pushnumber(L, event.which);
  script::call(L, 3, 0, "onGamepadAxis");
}

// Controllers are opened as they arrive (those present at start arrive as
// events too) and closed as they leave; SDL keeps the open ones.
void handleControllerDevice(const SDL_ControllerDeviceEvent& event) {
  if (event.type == SDL_CONTROLLERDEVICEADDED) {
    SDL_GameControllerOpen(event.which);
  } else if (SDL_GameController* controller = SDL_GameControllerFromInstanceID(event.which)) {
    SDL_GameControllerClose(controller);
  }
}

void setScreenSizeGlobals(lua_State* L, int w, int h) {
  lua_pushnumber(L, w);
  luautils::setGlobal(L, "screenWidth");
  lua_pushnumber(L, h);
  luautils::setGlobal(L, "screenHeight");
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
  // Full screen keeps the game's size, as a display mode change would.
  int w = designWidth, h = designHeight;
  if (!sdlutils::fullScreen()) SDL_GetWindowSize(window, &w, &h);
  letterbox::followWindow();
  bool resized = w != screenWidth || h != screenHeight;
  gr_setViewport(w, h);
  screenWidth = w;
  screenHeight = h;
  if (sdlutils::settings().title.empty()) {
    char title[512];
    snprintf(title, sizeof title, "Tarnwick (%dx%d - %.2f - 1.33-1.78)", w, h,
             static_cast<double>(static_cast<float>(w) / static_cast<float>(h)));
    SDL_SetWindowTitle(window, title);
  }
  setScreenSizeGlobals(L, w, h);
  if (resized && pushDefined(L, "onResize")) {
    lua_pushnumber(L, w);
    lua_pushnumber(L, h);
    script::call(L, 2, 0, "onResize");
  }
}
}  // namespace

void handleEvent(lua_State* L, const SDL_Event& event) {
  luautils::StackCheck balanced(L, 0, "an event's handling");
  switch (event.type) {
    case SDL_QUIT:
      DLOG(LogLevel::Info, "Quit\n");
      quit = 1;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      inputedges::noteKey(event.key.keysym.sym, event.type == SDL_KEYDOWN, event.key.repeat != 0);
      luautils::pushGlobal(L, "onKeyboardEvent");
      lua_pushboolean(L, event.type == SDL_KEYDOWN);
      lua_pushnumber(L, event.key.keysym.sym);
      lua_pushboolean(L, event.key.repeat != 0);
      script::call(L, 3, 0, "onKeyboardEvent");
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      callMouseButton(L, event.button);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION: {
      float x = 0, y = 0;
      framing::toGameFraction(event.tfinger.x, event.tfinger.y, &x, &y);
      callTouch(L, event.type, static_cast<double>(event.tfinger.fingerId), x, y);
      break;
    }
    case SDL_MOUSEMOTION:
      callMouseMove(L, event.motion);
      break;
    case SDL_MOUSEWHEEL:
      callMouseWheel(L, event.wheel);
      break;
    case SDL_TEXTINPUT:
      callTextInput(L, event.text);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      callGamepadButton(L, event.cbutton);
      break;
    case SDL_CONTROLLERAXISMOTION:
      callGamepadAxis(L, event.caxis);
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
      handleControllerDevice(event.cdevice);
      break;
    case SDL_WINDOWEVENT:
      handleWindowEvent(L, event.window);
      break;
    default:
      break;
  }
}
}  // namespace frameloop
