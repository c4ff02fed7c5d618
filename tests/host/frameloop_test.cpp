// The scene walk and one frame's script calls, in-process.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/sdlutils.h"
#include "render/graphics.h"

#include "core/runstate.h"
#include "host/frameloop.h"
#include "scene/clearing.h"
#include "support/capture.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
// Walks `world` with one handler that records every node's `name`.
std::string walkNames(LuaState& lua) {
  std::string visited;
  HandlerQueue enter;
  enter.push_back([&](lua_State* L) { visited += getString(L, "name") + " "; });
  lua.pushGlobal("world");
  luautils::traverse(lua, enter);
  lua_pop(lua, 1);
  EXPECT_EQ(lua_gettop(lua), 0);
  return visited;
}
}  // namespace

TEST(SceneWalk, VisitsEnabledChildrenDepthFirstAndRunsOnUpdateFirst) {
  LuaState lua;
  lua.run(
      "order = {}\n"
      "local function node(name, t) t = t or {}; t.name = name;"
      " t.onUpdate = function(n) order[#order+1] = n.name end; return t end\n"
      "world = node('root', {\n"
      "  node('a', { node('a1') }),\n"
      "  node('off', { enabled = false, node('hidden') }),\n"
      "  function() return node('generated') end,\n"
      "  camera = node('camera'),\n"
      "  props = { node('named') },\n"
      "})");
  std::string visited = walkNames(lua);
  EXPECT_EQ(visited, "root a a1 generated ");
  lua.run("assert(table.concat(order, ' ') == 'root a a1 generated', table.concat(order, ' '))");
}

TEST(SceneWalk, EnabledAndOnUpdateResolveThroughFunctions) {
  LuaState lua;
  lua.run(
      "calls = 0\n"
      "world = { name = 'root',\n"
      "  { name = 'shown', enabled = function() return true end,\n"
      "    onUpdate = function() calls = calls + 1; return function() calls = calls + 10 end end },\n"
      "  { name = 'gone', enabled = function() return false end },\n"
      "  { name = 'broken', onUpdate = function() error('ignored') end },\n"
      "}");
  std::string visited = walkNames(lua);
  EXPECT_NE(visited.find("shown"), std::string::npos);
  EXPECT_NE(visited.find("broken"), std::string::npos);
  EXPECT_EQ(visited.find("gone"), std::string::npos);
  lua.run("assert(calls == 11, calls)");
}

TEST(SceneWalk, ATableReachableFromItselfIsWalkedOnce) {
  LuaState lua;
  lua.run(
      "world = { name = 'root' }\n"
      "world[1] = { name = 'child', world }\n"
      "shared = { name = 'shared' }\n"
      "world[2] = { name = 'x', shared }\n"
      "world[3] = { name = 'y', shared }");
  std::string visited = walkNames(lua);
  // The cycle back to the root is refused; a table shared by two parents is
  // no cycle and is visited under both.
  EXPECT_EQ(visited, "root child x shared y shared ");
}

// The frame loop draws into the host's window: the test window stands in.
class FrameTest : public testsupport::GLTest {
 protected:
  void SetUp() override { window = sdlWindow(); }
  void TearDown() override { window = nullptr; }
};

TEST_F(FrameTest, UpdateReceivesSecondsAndAFailingUpdateIsLoggedEveryFrame) {
  LuaState lua;
  lua.run(
      "steps = {}\n"
      "function update(dt) steps[#steps+1] = dt; error('boom') end\n"
      "world = {}");
  std::string log = testsupport::captureOutput([&] {
    for (int i = 0; i < 3; ++i) {
      frameloop::runFrame(lua, 16);
      EXPECT_EQ(lua_gettop(lua), 0);
    }
  });
  size_t count = 0;
  for (size_t at = log.find("Lua error: "); at != std::string::npos;
       at = log.find("Lua error: ", at + 1))
    ++count;
  EXPECT_EQ(count, 3u) << log;
  EXPECT_NE(log.find("boom"), std::string::npos);
  lua.run("assert(#steps == 3 and math.abs(steps[1] - 0.016) < 1e-6, tostring(steps[1]))");
}

TEST_F(FrameTest, MouseButtonsReachTheScriptAsMouseAndTouchEvents) {
  LuaState lua;
  lua.run(
      "calls = {}\n"
      "function onMouseButtonEvent(t) calls[#calls+1] = 'mouse ' .. t end\n"
      "function onTouchEvent(t, f, x, y) calls[#calls+1] = table.concat({'touch', t, f, x, y}, ' ') end\n"
      "function onKeyboardEvent(p, k) calls[#calls+1] = 'key ' .. tostring(p) .. ' ' .. k end\n"
      "world = {}");
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
    SDL_Event event = {};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = 10;
    event.button.y = 20;
    SDL_PushEvent(&event);
  }
  SDL_Event key = {};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_a;
  SDL_PushEvent(&key);
  frameloop::runFrame(lua, 16);
  lua.run(
      "local got = table.concat(calls, ', ')\n"
      "assert(got == 'mouse 1025, touch 1792 1 10 20, mouse 1026, touch 1793 1 10 20, key true 97',"
      " got)");
}

TEST_F(FrameTest, MissingCallbacksAreLoggedAndAQuitEventEndsTheRun) {
  // A global table that raises for names never set changes nothing here.
  for (const char* globals :
       {"", "setmetatable(_G, { __index = function(_, k) error('undeclared ' .. k) end,\n"
            "  __newindex = function(_, k) error('no new ' .. k) end })"}) {
    LuaState lua;
    lua.run(std::string("world = {}\n") + globals);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event press = {};
    press.type = SDL_MOUSEBUTTONDOWN;
    SDL_PushEvent(&press);
    SDL_Event resize = {};
    resize.type = SDL_WINDOWEVENT;
    resize.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    SDL_PushEvent(&resize);
    SDL_Event quitEvent = {};
    quitEvent.type = SDL_QUIT;
    SDL_PushEvent(&quitEvent);
    quit = 0;
    std::string log = testsupport::captureOutput([&] { frameloop::runFrame(lua, 16); });
    EXPECT_EQ(quit, 1);
    quit = 0;
    EXPECT_NE(log.find("Quit\n"), std::string::npos);
    // onMouseButtonEvent and onTouchEvent are both missing.
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_EQ(log.find("undeclared"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(lua), 0);
    lua.run("assert(rawget(_G, 'screenWidth') == 320)");
  }
}

TEST_F(FrameTest, WindowEventsSetTheTitleAndTheScreenSize) {
  LuaState lua;
  lua.run("world = {}");
  SDL_Event event = {};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
  SDL_PushEvent(&event);
  frameloop::runFrame(lua, 16);
  EXPECT_STREQ(SDL_GetWindowTitle(window), "Tarnwick (320x240 - 1.33 - 1.33-1.78)");
  EXPECT_EQ(screenWidth, 320);
  EXPECT_EQ(screenHeight, 240);
  lua.run("assert(screenWidth == 320 and screenHeight == 240)");
}

TEST_F(FrameTest, TheClearingStepClearsTheWindowAndTheTargetsOfCameras) {
  for (const char* name : {"wiped", "kept", "unnamed"}) {
    gr_createRenderTarget(4, 4, name, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
    glClearColor(1, 0, 0, 1);  // the new target is still bound
    glClear(GL_COLOR_BUFFER_BIT);
  }
  LuaState lua;
  lua.run(
      "clearColor = { green = 1 }\n"
      "world = { camera = { target = 'wiped' },\n"
      "  { camera = { target = 'kept', clearTarget = false } },\n"
      "  { camera = { target = 'nowhere' } },\n"
      "  { camera = { target = 'unnamed', clearTarget = 1 } },\n"
      "  props = { camera = { target = 'unnamed' } } }");
  lua.pushGlobal("world");
  clearing::clearFrame(lua);
  lua_pop(lua, 1);

  auto targetPixel = [](const char* name) {
    glBindFramebuffer(GL_FRAMEBUFFER, gr_getRenderTarget(name)->frameBuffer);
    return pixel(1, 1);
  };
  EXPECT_EQ(targetPixel("wiped"), (testsupport::RGBA{0, 0, 0, 0}));
  EXPECT_EQ(targetPixel("kept"), (testsupport::RGBA{255, 0, 0, 255}));
  // clearTarget present but not the boolean true: left alone. A camera under a
  // string key is never found.
  EXPECT_EQ(targetPixel("unnamed"), (testsupport::RGBA{255, 0, 0, 255}));
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  EXPECT_TRUE(testsupport::near(pixel(5, 5), {230, 255, 77, 255}));
}
