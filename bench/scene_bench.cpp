// Cost of the per-frame scene work that does not need a GL context: finding
// cameras, the walk with the transform handler over scenes of growing size, and
// the walk with every pass over textured nodes (the batches built, not drawn).
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <string>

#include "assets/resources.h"
#include "core/luautils.h"
#include "lua_world.h"
#include "render/graphics.h"
#include "scene/cameras.h"
#include "scene/model_pass.h"
#include "scene/particles.h"
#include "scene/texture_pass.h"
#include "scene/transforms.h"

namespace {
// A world of `count` nodes in groups of ten, each with a position, a rotation and
// a field resolved through a function.
lua_State* makeWorld(int count) {
  return bench::worldFrom(
      "world = { camera = {} }\n"
      "for g = 1, " + std::to_string(count / 10) + " do\n"
      "  local group = { x = g, rotation = g * 3 }\n"
      "  for i = 1, 10 do\n"
      "    group[i] = { x = i * 2, y = function() return i end, scale = 1.5 }\n"
      "  end\n"
      "  world[g] = group\n"
      "end\n");
}

void walkWithTransforms(benchmark::State& state) {
  lua_State* L = makeWorld(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    lua_getglobal(L, "world");
    HandlerQueue enter;
    transforms::prepare(L, enter);
    luautils::traverse(L, enter);
    lua_pop(L, 1);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  lua_close(L);
}
BENCHMARK(walkWithTransforms)->Arg(100)->Arg(1000)->Arg(10000);

void findCameras(benchmark::State& state) {
  lua_State* L = makeWorld(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    lua_getglobal(L, "world");
    int found = 0;
    find(L, "camera", [&](lua_State*) { ++found; });
    benchmark::DoNotOptimize(found);
    lua_pop(L, 1);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  lua_close(L);
}
BENCHMARK(findCameras)->Arg(1000)->Arg(10000);

// frame_bench's scene: `count` nodes { texture = "sprite", x = ..., y = ... }.
void texturedNodes(benchmark::State& state) {
  lua_State* L = bench::worldFrom(
      "world = { camera = {} }\n"
      "for i = 0, " + std::to_string(state.range(0) - 1) + " do\n"
      "  world[#world + 1] = { texture = 'sprite', x = (i * 7919) % 1240 - 620,\n"
      "                        y = (i * 104729) % 680 - 340 }\n"
      "end\n");
  // A texture and a program by name only: nothing here calls GL.
  resources::Sheet sheet;
  sheet.width = sheet.height = 2;
  sheet.texture = 1;
  resources::textures["sprite"] = &sheet;
  gr_programs["pt"]["pt"] = 1;
  gr_programs["ptc"]["ptc"] = 2;
  cameras::setRemembering(true);  // as in the frame loop
  BatchMatrix batches;
  auto frame = [&] {
    for (BatchList& list : batches) list.clear();
    lua_getglobal(L, "world");
    HandlerQueue enter;
    transforms::prepare(L, enter);
    textures::prepare(L, enter, batches);
    modelpass::prepare(L, enter, batches, 16);
    particles::prepare(L, enter, batches, 16);
    luautils::traverse(L, enter);
    lua_pop(L, 1);
  };
  frame();  // the first frame gives every node its matrix record
  for (auto _ : state) {
    frame();
    benchmark::DoNotOptimize(batches[0].size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  resources::textures.erase("sprite");
  gr_programs.clear();
  cameras::setRemembering(false);
  lua_close(L);
}
BENCHMARK(texturedNodes)->Arg(20000)->Unit(benchmark::kMillisecond);
}  // namespace
