// Cost of the per-frame scene work that does not need a GL context: finding
// cameras, and the walk with the transform handler over scenes of growing size.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <string>

#include "core/luautils.h"
#include "lua_world.h"
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
}  // namespace
