// Input a game may ask for: the optional callbacks, controllers plugged in
// during the run, the keys table and window resizes, through SDL events
// pushed into the frame loop in-process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>

#include "bindings/cursor.h"
#include "bindings/input.h"
#include "bindings/modules.h"
#include "core/runstate.h"
#include "host/frameloop.h"
#include "host/keys.h"
#include "host/sdlutils.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"
#include "support/picture.h"

using testsupport::LuaState;

namespace {
// The frame loop reads the host's window: the test window stands in.
class InputTest : public testsupport::GLTest {
 protected:
  void SetUp() override {
    window = sdlWindow();
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override { window = nullptr; }
};

// Records every call of the named callbacks as one line in `calls`.
const char* const RECORDER =
    "calls = {}\n"
    "function record(name) _G[name] = function(...)\n"
    "  local words = { name }\n"
    "  for i = 1, select('#', ...) do words[#words + 1] = tostring((select(i, ...))) end\n"
    "  calls[#calls + 1] = table.concat(words, ' ')\n"
    "end end\n"
    "world = {}\n";

void push(SDL_Event event) { SDL_PushEvent(&event); }

void pushOptionalEvents() {
  SDL_Event event = {};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = 30;
  event.motion.y = 40;
  event.motion.xrel = 3;
  event.motion.yrel = -4;
  push(event);
  for (Uint32 direction : {SDL_MOUSEWHEEL_NORMAL, SDL_MOUSEWHEEL_FLIPPED}) {
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = 1;
    event.wheel.preciseY = 1.5f;
    event.wheel.direction = direction;
    push(event);
  }
  event = {};
  event.type = SDL_TEXTINPUT;
  strcpy(event.text.text, "\xc3\xa9!");  // é!
  push(event);
  for (Uint32 type : {SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP}) {
    event = {};
    event.type = type;
    event.cbutton.button = SDL_CONTROLLER_BUTTON_B;
    event.cbutton.which = 7;
    push(event);
  }
  for (Sint16 value : {-32768, 0, 32767}) {
    event = {};
    event.type = SDL_CONTROLLERAXISMOTION;
    event.caxis.axis = SDL_CONTROLLER_AXIS_LEFTY;
    event.caxis.value = value;
    event.caxis.which = 7;
    push(event);
  }
}
}  // namespace

TEST_F(InputTest, OptionalCallbacksAreCalledOnlyWhenDefined) {
  LuaState lua;
  lua.run(RECORDER);
  pushOptionalEvents();
  EXPECT_EQ(testsupport::captureOutput([&] { frameloop::runFrame(lua, 16); }), "");

  lua.run(
      "for _, name in ipairs({ 'onMouseMoveEvent', 'onMouseWheelEvent', 'onTextInput',"
      " 'onGamepadEvent', 'onGamepadAxis' }) do record(name) end");
  pushOptionalEvents();
  frameloop::runFrame(lua, 16);
  lua.run(
      "local got = table.concat(calls, ', ')\n"
      "assert(got == 'onMouseMoveEvent 30 40 3 -4, onMouseWheelEvent 0 1.5,"
      " onMouseWheelEvent 0 -1.5, onTextInput \\195\\169!, onGamepadEvent true 1 7,"
      " onGamepadEvent false 1 7, onGamepadAxis 1 -1 7, onGamepadAxis 1 0 7,"
      " onGamepadAxis 1 1 7', got)");
  EXPECT_EQ(lua_gettop(lua), 0);
}

TEST_F(InputTest, AControllerPluggedInDuringTheRunIsOpenedAndClosedWhenItLeaves) {
  LuaState lua;
  lua.run(RECORDER);
  lua.run("record('onGamepadEvent')");
  // SDL drops controller input while the window lacks focus, which a test
  // window among others on the suite's display may.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
  ASSERT_GE(device, 0) << SDL_GetError();
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
  frameloop::runFrame(lua, 16);
  SDL_GameController* controller = SDL_GameControllerFromInstanceID(id);
  ASSERT_NE(controller, nullptr) << "not opened on arrival";

  SDL_Joystick* joystick = SDL_GameControllerGetJoystick(controller);
  SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
  frameloop::runFrame(lua, 16);
  SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 0);
  frameloop::runFrame(lua, 16);
  lua.run("assert(table.concat(calls, ', ') == 'onGamepadEvent true 0 " + std::to_string(id) +
          ", onGamepadEvent false 0 " + std::to_string(id) + "', table.concat(calls, ', '))");

  SDL_JoystickDetachVirtual(device);
  frameloop::runFrame(lua, 16);
  EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr) << "still open after it left";
}

TEST_F(InputTest, AResizedWindowSetsTheScreenSizeAndCallsOnResizeOnce) {
  LuaState lua;
  lua.run(RECORDER);
  lua.run("record('onResize')");
  SDL_SetWindowSize(window, 400, 300);
  frameloop::runFrame(lua, 16);
  SDL_Event focus = {};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  push(focus);
  frameloop::runFrame(lua, 16);
  EXPECT_EQ(screenWidth, 400);
  EXPECT_EQ(screenHeight, 300);
  lua.run(
      "assert(table.concat(calls, ', ') == 'onResize 400 300', table.concat(calls, ', '))\n"
      "assert(screenWidth == 400 and screenHeight == 300)");
  SDL_SetWindowSize(window, WIDTH, HEIGHT);
}

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, bool repeat = false) {
  SDL_Event event = {};
  event.type = type;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  return event;
}

SDL_Event buttonEvent(Uint32 type, Uint8 button) {
  SDL_Event event = {};
  event.type = type;
  event.button.button = button;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  return event;
}

// `update` and a node's onUpdate write what the edges say about key a and
// the right mouse button into `seen`, one word per frame each.
const char* const EDGE_WATCHER =
    "seen = {}\n"
    "local function edges(where)\n"
    "  local function f(b) return b and '1' or '0' end\n"
    "  seen[#seen + 1] = where .. f(app.keyWentDown(keys.a)) .. f(app.keyWentUp(keys.a))\n"
    "    .. f(app.mouseButtonWentDown(3)) .. f(app.mouseButtonWentUp(3))\n"
    "end\n"
    "function update() edges('u') end\n"
    "world = { onUpdate = function() edges('w') end }\n"
    "function onMouseButtonEvent() end\n"
    "function onTouchEvent() end\n";

TEST_F(InputTest, KeyEventsTellRepeatsAndEdgesLastFromOneDrainToTheNext) {
  LuaState lua;
  lua_pushcfunction(lua, luaopen_app);
  lua_pushstring(lua, "app");
  lua_call(lua, 1, 0);
  keys::install(lua);
  lua.run(RECORDER);
  lua.run(EDGE_WATCHER);
  lua.run("record('onKeyboardEvent')");
  // A press, a repeat and the release in one drain; a right click too.
  push(keyEvent(SDL_KEYDOWN, SDLK_a));
  push(keyEvent(SDL_KEYDOWN, SDLK_a, true));
  push(keyEvent(SDL_KEYUP, SDLK_a));
  push(buttonEvent(SDL_MOUSEBUTTONDOWN, 3));
  frameloop::runFrame(lua, 16);
  push(buttonEvent(SDL_MOUSEBUTTONUP, 3));
  frameloop::runFrame(lua, 16);
  frameloop::runFrame(lua, 16);
  // Without a world table nothing is drained: that frame's edges are none.
  push(keyEvent(SDL_KEYDOWN, SDLK_a));
  frameloop::runFrame(lua, 16);
  lua.run("world = nil");
  frameloop::runFrame(lua, 16);
  frameloop::runFrame(lua, 16);
  lua.run(
      "local got = table.concat(calls, ', ')\n"
      "assert(got == 'onKeyboardEvent true 97 false, onKeyboardEvent true 97 true,"
      " onKeyboardEvent false 97 false, onKeyboardEvent true 97 false', got)\n"
      "got = table.concat(seen, ' ')\n"
      "assert(got == 'u0000 w1110 u1110 w0001 u0001 w0000 u0000 w1000 u1000 u0000', got)");
  EXPECT_EQ(quit, 0);
  EXPECT_EQ(lua_gettop(lua), 0);
}

TEST_F(InputTest, AnEscapeTapWithinOneFrameEndsTheRunUnlessSwitchedOff) {
  LuaState lua;
  lua.run(RECORDER);
  lua.run("record('onKeyboardEvent')");
  frameloop::quitOnEscape = false;
  push(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE));
  push(keyEvent(SDL_KEYUP, SDLK_ESCAPE));
  frameloop::runFrame(lua, 16);
  EXPECT_EQ(quit, 0);
  frameloop::quitOnEscape = true;
  frameloop::runFrame(lua, 16);
  EXPECT_EQ(quit, 0) << "a tap ends one frame only";
  push(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE));
  push(keyEvent(SDL_KEYUP, SDLK_ESCAPE));
  frameloop::runFrame(lua, 16);
  EXPECT_EQ(quit, 1);
  quit = 0;
  lua.run("assert(#calls == 4, #calls)");
}

TEST(Keys, NameSDLKeyCodes) {
  LuaState lua;
  keys::install(lua);
  EXPECT_EQ(lua_gettop(lua), 0);
  lua.run(
      "assert(keys.space == 32 and keys.a == 97 and keys.z == 122 and keys.escape == 27)\n"
      "assert(keys['return'] == 13 and keys.enter == 13 and keys['0'] == 48 and keys['9'] == 57)\n"
      "assert(keys.left == 1073741904 and keys.right == 1073741903)\n"
      "assert(keys.up == 1073741906 and keys.down == 1073741905)\n"
      "assert(keys.f1 == 1073741882 and keys.f12 == 1073741893)\n"
      "assert(keys.kp_1 == 1073741913 and keys.kp_9 == 1073741921 and keys.kp_0 == 1073741922)\n"
      "assert(keys.lshift == 1073742049 and keys.rctrl == 1073742052)");
}

TEST_F(InputTest, TheCursorShowsTakesSystemShapesAndPicturesAndTheClipboardHoldsText) {
  testsupport::GameFolder game;
  testsupport::writePicture(game.file("assets/textures/pointer.png"),
                            testsupport::solidPicture(8, 8, {255, 0, 0, 255}));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(game.path().c_str()), 0);
  app::showCursor(true);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  EXPECT_TRUE(app::isCursorShown());
  for (const char* name : {"arrow", "hand", "ibeam", "crosshair"})
    EXPECT_TRUE(app::setSystemCursor(name)) << name;
  EXPECT_FALSE(app::setSystemCursor("spinner"));
  EXPECT_TRUE(app::setCursorImage("pointer.png", 3, 100));
  SDL_Cursor* picture = SDL_GetCursor();
  EXPECT_FALSE(app::setCursorImage("missing.png", 0, 0));
  EXPECT_EQ(SDL_GetCursor(), picture) << "a failed picture changed the cursor";
  app::showCursor(false);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_EQ(chdir(cwd), 0);

  app::setClipboardText("Tarnwick \xc3\xa9");
  EXPECT_STREQ(app::getClipboardText(), "Tarnwick \xc3\xa9");
}

TEST(Config, CursorShowsTheSystemCursorAndIconIsAPicture) {
  testsupport::GameFolder game;
  testsupport::writePicture(game.file("assets/textures/icon.png"),
                            testsupport::solidPicture(16, 16, {0, 128, 255, 255}));
  for (std::string cursor : {"true", "false", "nil"}) {
    game.writeMain("config = { width = 64, height = 48, cursor = " + cursor +
                   ", icon = 'icon.png' }\n"
                   "world = { camera = {} }\n"
                   "function update()\n"
                   "  log.DLOG('cursor ' .. tostring(app.isCursorShown()) .. '\\n')\n"
                   "end\n");
    testsupport::GameRun run = testsupport::runFrames(game, 2);
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
    const char* shown = cursor == "true" ? "cursor true" : "cursor false";
    EXPECT_EQ(testsupport::countLines(run.out, shown), 2) << run.out;
  }
  game.writeMain("config = { width = 64, height = 48, icon = {} }\n");
  testsupport::GameRun run = testsupport::runFrames(game, 2);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(testsupport::countLines(run.out, "config.icon must be text, got table"), 1) << run.out;
}
