// One frame and the loop around it.
#include "host/frameloop.h"

#include <cstdio>
#include <vector>

#include "bindings/inputedges.h"
#include "core/luautils.h"
#include "core/runstate.h"
#include "core/scriptcall.h"
#include "host/earlydraw.h"
#include "host/filesystem.h"
#include "host/letterbox.h"
#include "host/screenshot.h"
#include "host/sdlutils.h"
#include "physics/scenepass.h"
#include "platform/platform.h"
#include "physics/step.h"
#include "render/graphics.h"
#include "scene/cameras.h"
#include "scene/model_pass.h"
#include "scene/particles.h"
#include "scene/text_pass.h"
#include "scene/texture_pass.h"
#include "scene/tilemap_pass.h"
#include "scene/transforms.h"

namespace frameloop {
bool quitOnEscape = true;

namespace {
// Pacing when the swap interval does not: about 60 frames a second.
const Uint32 PACED_FRAME_MS = 16;

// Emptied at the start of every frame, never freed: its lists keep their
// batches and vertex memory for the next frame.
BatchMatrix batchMatrix;
}  // namespace

void runFrame(lua_State* L, Uint32 dt) {
  luautils::StackCheck balanced(L, 0, "a frame");
  luautils::pushGlobal(L, "update");
  if (lua_isfunction(L, -1)) {
    lua_pushnumber(L, static_cast<float>(dt) / 1000.0f);
    script::call(L, 1, 0, "update");
  } else {
    lua_pop(L, 1);
  }

  // Edges are of one drain; a frame that skips it has none to report.
  inputedges::beginDrain();
  luautils::pushGlobal(L, "world");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(L, event);
  // A tap shorter than the drain is released again by now: its press counts too.
  if (quitOnEscape && (inputedges::keyWentDown(SDLK_ESCAPE) ||
                       SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_ESCAPE]))
    quit = 1;
  physics::step(L, static_cast<double>(dt) / 1000);

  {
    HandlerQueue enter;
    for (BatchList& list : batchMatrix) list.clear();
    float dtMs = static_cast<float>(dt);
    transforms::prepare(L, enter);
    textures::prepare(L, enter, batchMatrix);
    tilemappass::prepare(L, enter, batchMatrix, dtMs);
    modelpass::prepare(L, enter, batchMatrix, dtMs);
    particles::prepare(L, enter, batchMatrix, dtMs);
    textpass::prepare(L, enter, batchMatrix);
    physics::prepare(L, enter, batchMatrix);
    earlydraw::prepare(L, enter, batchMatrix);
    luautils::traverse(L, enter);
    physics::finish(batchMatrix);
    letterbox::prepareFrame();
    gr_renderBatchesAfter(batchMatrix, earlydraw::finish(L));
    letterbox::presentFrame();
  }
  lua_pop(L, 1);
}

Loop::Loop(lua_State* state, Uint32 lastFrameTicks, const Options& runOptions)
    : L(state), options(runOptions), lastFrame(lastFrameTicks) {
  // Script code runs only through script::pcall, so the scene changes only
  // where nodefields::changes() says.
  cameras::setRemembering(true);
  fixedStep = options.fixedDtMs >= 0;
  // A game that turned vsync off wants its frames as fast as they come; a
  // page's frames are paced by the browser.
  paced = !fixedStep && !platform::browser() && !sdlutils::vsyncEnabled() &&
          sdlutils::settings().vsync;
}

bool Loop::step() {
  if (quit) return false;
  if (options.frames > 0 && frame >= options.frames) quit = 1;
  ++frame;
  Uint32 now = SDL_GetTicks();
  Uint32 dt = fixedStep ? static_cast<Uint32>(options.fixedDtMs) : now - lastFrame;
  lastFrame = now;

  // Reloads happen here, between frames, never while a frame uses the state.
  filesystem::poll();
  runFrame(L, dt);

  if (quit && !options.screenshot.empty()) shot = screenshot::writeWindow(options.screenshot);
  SDL_GL_SwapWindow(window);
  if (paced) {
    Uint32 spent = SDL_GetTicks() - now;
    if (spent < PACED_FRAME_MS) SDL_Delay(PACED_FRAME_MS - spent);
  }
  return !quit;
}

void Loop::end() const {
  if (!options.screenshot.empty() && !shot)
    fprintf(stderr, "tarnwick: no frame was drawn, so no screenshot was written to %s\n",
            options.screenshot.c_str());
}
}  // namespace frameloop
