// Cost of a tile map frame, walk and draw (built by the tile map pass, drawn
// with gr_renderBatches into a 1280 × 720 window): a 1000 × 1000 layer
// scrolled across, against a 40 × 23 map that fills the same window. Both
// show about 40 × 23 tiles of 32 pixels (the scrolled one 41 × 24, cut at the
// edges), so the frames should cost about the same: what a frame pays follows
// what is seen, not the map's size. Needs a display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <chrono>
#include <string>

#include "core/luautils.h"
#include "core/runstate.h"
#include "gl_context.h"
#include "lua_world.h"
#include "maps/loader.h"
#include "scene/tilemap_pass.h"
#include "scene/transforms.h"

namespace {
const int TILE = 32;

// A map of four 32 × 32 tiles (a 64 × 64 sheet), every cell filled, in a
// pattern that uses all four.
void addMap(const std::string& name, int width, int height) {
  maps::Map map;
  map.name = name;
  map.width = width;
  map.height = height;
  map.tileWidth = map.tileHeight = TILE;
  maps::Tileset tileset;
  tileset.name = "four";
  tileset.tileWidth = tileset.tileHeight = TILE;
  tileset.columns = 2;
  tileset.tileCount = 4;
  tileset.image = "four.png";
  tileset.sheetWidth = tileset.sheetHeight = 2 * TILE;
  tileset.pixels.resize(static_cast<size_t>(4 * TILE * TILE * 4));
  for (size_t i = 0; i < tileset.pixels.size(); ++i) tileset.pixels[i] = static_cast<unsigned char>(i * 37);
  tileset.rects = {{0, 0, TILE, TILE}, {TILE, 0, TILE, TILE}, {0, TILE, TILE, TILE}, {TILE, TILE, TILE, TILE}};
  map.tilesets.push_back(tileset);
  maps::Layer layer;
  layer.name = "ground";
  layer.cells.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < layer.cells.size(); ++i) layer.cells[i] = static_cast<uint32_t>(1 + (i * 7 + i / 13) % 4);
  map.layers.push_back(layer);
  maps::loaded[name] = map;
}

// One scene: a node showing map `name`, its own interpreter and batches.
struct Scene {
  lua_State* L;
  BatchMatrix batches;
  int width;
  double x = 0;
  long tiles = 0;

  Scene(const std::string& name, int cellsWide, int cellsHigh) : width(cellsWide) {
    addMap(name, cellsWide, cellsHigh);
    L = bench::worldFrom("node = { tilemap = '" + name + "' }\nworld = { camera = {}, node }\n");
  }
  ~Scene() { lua_close(L); }

  // Walks and draws one frame, after moving the map 7 pixels when asked
  // (across it and back); returns its wall-clock seconds.
  double frame(bool scroll) {
    auto start = std::chrono::steady_clock::now();
    if (scroll) {
      x += 7;
      if (x > width * TILE / 2.0 - 640) x = -(width * TILE / 2.0 - 640);
      lua_getglobal(L, "node");
      lua_pushnumber(L, x);
      lua_setfield(L, -2, "x");
      lua_pop(L, 1);
    }
    for (BatchList& list : batches) list.clear();
    lua_getglobal(L, "world");
    HandlerQueue enter;
    transforms::prepare(L, enter);
    tilemappass::prepare(L, enter, batches, 16);
    luautils::traverse(L, enter);
    lua_pop(L, 1);
    for (BatchList& list : batches)
      for (Batch& batch : list) tiles += batch.triangles / 2;
    gr_renderBatches(batches);
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

// The two take turns frame by frame, so load on the machine weighs on both
// alike; the counters give each one's mean frame and their ratio.
void scrolledLargeMapAgainstScreenSizedMap(benchmark::State& state) {
  bench::ensureContext(1280, 720);
  screenWidth = designWidth = 1280;
  screenHeight = designHeight = 720;
  {
    Scene large("large", 1000, 1000), screen("screen", 40, 23);
    large.frame(true);  // uploads and programs before timing
    screen.frame(false);
    large.tiles = screen.tiles = 0;
    double largeSeconds = 0, screenSeconds = 0;
    for (auto _ : state) {
      largeSeconds += large.frame(true);
      screenSeconds += screen.frame(false);
    }
    double frames = static_cast<double>(state.iterations());
    state.counters["large_us"] = largeSeconds / frames * 1e6;
    state.counters["screen_us"] = screenSeconds / frames * 1e6;
    state.counters["ratio"] = largeSeconds / screenSeconds;
    state.counters["large_tiles"] = static_cast<double>(large.tiles) / frames;
    state.counters["screen_tiles"] = static_cast<double>(screen.tiles) / frames;
  }
  maps::clear(tilemappass::releaseTextures);
}
BENCHMARK(scrolledLargeMapAgainstScreenSizedMap)->Unit(benchmark::kMillisecond)->MinTime(5);
}  // namespace
