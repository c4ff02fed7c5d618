// Cost of text on screen per frame: a world of N text nodes of ten characters
// each, through the frame's own steps (transforms, the text pass, the walk,
// drawing) in a 1280 × 720 window. Measured four ways: the walk with
// transforms alone (the cost any N nodes have); plus the text pass; plus
// handing the batches to GL with rasterisation discarded (the framework's
// share of drawing: uploads and vertex work); plus filling the pixels, which
// on a software GL is most of it. The differences are what text costs. Needs
// a display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <cstdlib>
#include <string>

#include "assets/resources.h"
#include "gl_context.h"
#include "core/luautils.h"
#include "core/runstate.h"
#include "lua_world.h"
#include "scene/text_pass.h"
#include "scene/transforms.h"

namespace {
const int WIDTH = 1280, HEIGHT = 720;

// `count` text nodes of ten characters at the default size, in rows over the
// window like a screen full of labels.
lua_State* makeWorld(int count) {
  return bench::worldFrom(
      "world = { camera = {} }\n"
      "for i = 1, " + std::to_string(count) + " do\n"
      "  world[i] = { text = string.format('Score %04d', i % 10000),\n"
      "               x = (i % 14) * 91 - 640, y = math.floor(i / 14) * 10 - 355 }\n"
      "end\n");
}

enum class Steps { WALK, PASS, SUBMIT, DRAW };

// One frame of the chosen steps over `world`.
void runFrame(lua_State* L, Steps steps) {
  lua_getglobal(L, "world");
  HandlerQueue enter;
  BatchMatrix batchMatrix;
  transforms::prepare(L, enter);
  if (steps != Steps::WALK) textpass::prepare(L, enter, batchMatrix);
  luautils::traverse(L, enter);
  if (steps == Steps::SUBMIT || steps == Steps::DRAW) {
    // Submitting without filling pixels: what the framework and vertex
    // processing cost, apart from the fill rate of the GL implementation.
    if (steps == Steps::SUBMIT) glEnable(GL_RASTERIZER_DISCARD);
    gr_renderBatches(batchMatrix);
    glFinish();
    glDisable(GL_RASTERIZER_DISCARD);
  } else {
    for (BatchList& list : batchMatrix)
      for (Batch& batch : list) {
        free(batch.data);
        free(batch.indices);
      }
  }
  lua_pop(L, 1);
}

void frame(benchmark::State& state, Steps steps) {
  bench::ensureContext(WIDTH, HEIGHT);
  screenWidth = WIDTH;  // what start-up would have set: the camera's extent
  screenHeight = HEIGHT;
  if (!resources::ft) resources::init();
  lua_State* L = makeWorld(static_cast<int>(state.range(0)));
  runFrame(L, steps);  // the first frame rasterises the glyphs and builds the program
  for (auto _ : state) runFrame(L, steps);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  lua_close(L);
}

void walkOnly(benchmark::State& state) { frame(state, Steps::WALK); }
void walkAndTextPass(benchmark::State& state) { frame(state, Steps::PASS); }
void walkTextPassAndSubmit(benchmark::State& state) { frame(state, Steps::SUBMIT); }
void walkTextPassAndDraw(benchmark::State& state) { frame(state, Steps::DRAW); }
BENCHMARK(walkOnly)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(walkAndTextPass)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(walkTextPassAndSubmit)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(walkTextPassAndDraw)->Arg(1000)->Unit(benchmark::kMicrosecond);
}  // namespace
