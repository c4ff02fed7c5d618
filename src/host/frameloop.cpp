// One frame and the loop around it.
#include "host/frameloop.h"

#include <GL/glew.h>

#include <cstdio>
#include <vector>

#include "host/host.h"
#include "host/letterbox.h"
#include "host/screenshot.h"
#include "host/scriptcall.h"
#include "host/sdlutils.h"
#include "passes/model.h"
#include "passes/particles.h"
#include "passes/textures.h"
#include "render/graphics.h"
#include "render/screenframe.h"
#include "render/transforms.h"

namespace frameloop {
bool quitOnEscape = true;

namespace {
// Generators that keep returning functions end here instead of hanging.
const int MAX_GENERATOR_CALLS = 1000;
// Pacing when the swap interval does not: about 60 frames a second.
const Uint32 PACED_FRAME_MS = 16;

void walk(lua_State* L, HandlerQueue& enter, std::vector<const void*>& path) {
  bool enabled = true;
  getBool(L, "enabled", &enabled);
  if (!enabled) return;
  if (!lua_checkstack(L, 8)) {
    luautils::reportCycle("the scene walk (scene too deep)");
    return;
  }

  int node = lua_gettop(L);
  luautils::pushField(L, node, "onUpdate");
  for (int calls = 0; lua_isfunction(L, -1) && calls < MAX_GENERATOR_CALLS; ++calls) {
    lua_pushvalue(L, node);
    lua_pcall(L, 1, 1, 0);
  }
  lua_pop(L, 1);

  for (auto& handler : enter) handler(L);

  path.push_back(lua_topointer(L, node));
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    if (lua_type(L, -2) != LUA_TSTRING) {
      for (int calls = 0; lua_isfunction(L, -1) && calls < MAX_GENERATOR_CALLS; ++calls)
        lua_pcall(L, 0, 1, 0);
      if (lua_istable(L, -1)) {
        const void* child = lua_topointer(L, -1);
        bool cycle = false;
        for (const void* ancestor : path) cycle = cycle || ancestor == child;
        if (cycle)
          luautils::reportCycle("the scene walk");
        else
          walk(L, enter, path);
      }
    }
    lua_pop(L, 1);
  }
  path.pop_back();
}

void clearCameraTarget(lua_State* L) {
  std::string target;
  if (!lua_istable(L, -1) || !getString(L, "target", target)) return;
  luautils::pushField(L, -1, "clearTarget");
  bool unset = lua_isnil(L, -1);
  lua_pop(L, 1);
  if (!unset && !getBool(L, "clearTarget")) return;
  RenderTarget* renderTarget = gr_getRenderTarget(target);
  if (!renderTarget) return;
  glBindFramebuffer(GL_FRAMEBUFFER, renderTarget->frameBuffer);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
}  // namespace

void traverse(lua_State* L, HandlerQueue& enter) {
  std::vector<const void*> path;
  walk(L, enter, path);
}

void clear(lua_State* L) {
  float red = 0.9f, green = 0.6f, blue = 0.3f;
  lua_getglobal(L, "clearColor");
  if (lua_istable(L, -1)) {
    getNumber<float>(L, "red", &red);
    getNumber<float>(L, "green", &green);
    getNumber<float>(L, "blue", &blue);
  }
  lua_pop(L, 1);
  glBindFramebuffer(GL_FRAMEBUFFER, gr_screenFrameBuffer());
  glClearColor(red, green, blue, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  find(L, "camera", clearCameraTarget);
}

void runFrame(lua_State* L, Uint32 dt) {
  lua_getglobal(L, "update");
  if (lua_isfunction(L, -1)) {
    lua_pushnumber(L, static_cast<float>(dt) / 1000.0f);
    script::call(L, 1, 0);
  } else {
    lua_pop(L, 1);
  }

  lua_getglobal(L, "world");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(L, event);
  if (quitOnEscape && SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE]) quit = 1;

  {
    HandlerQueue enter;
    BatchMatrix batchMatrix;
    float dtMs = static_cast<float>(dt);
    transforms::prepare(L, enter);
    textures::prepare(L, enter, batchMatrix);
    model::prepare(L, enter, batchMatrix, dtMs);
    particles::prepare(L, enter, batchMatrix, dtMs);
    traverse(L, enter);
    letterbox::prepareFrame();
    clear(L);
    // The matrix is not used after drawing, so it is handed over, not copied.
    gr_renderBatches(std::move(batchMatrix));
    letterbox::presentFrame();
  }
  lua_pop(L, 1);
}

void run(lua_State* L, Uint32 lastFrame, const Options& options) {
  bool fixedStep = options.fixedDtMs >= 0;
  // A game that turned vsync off wants its frames as fast as they come.
  bool paced = !fixedStep && !sdlutils::vsyncEnabled && sdlutils::vsyncWanted;
  bool shot = false;
  for (int frame = 1; !quit; ++frame) {
    if (options.frames > 0 && frame >= options.frames) quit = 1;
    Uint32 now = SDL_GetTicks();
    Uint32 dt = fixedStep ? static_cast<Uint32>(options.fixedDtMs) : now - lastFrame;
    lastFrame = now;

    runFrame(L, dt);

    if (quit && !options.screenshot.empty()) shot = screenshot::writeWindow(options.screenshot);
    SDL_GL_SwapWindow(window);
    if (paced) {
      Uint32 spent = SDL_GetTicks() - now;
      if (spent < PACED_FRAME_MS) SDL_Delay(PACED_FRAME_MS - spent);
    }
  }
  if (!options.screenshot.empty() && !shot)
    fprintf(stderr, "tarnwick: no frame was drawn, so no screenshot was written to %s\n",
            options.screenshot.c_str());
}
}  // namespace frameloop
