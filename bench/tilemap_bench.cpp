// Cost of a tile map frame, walk and draw (built by the tile map pass, drawn
// with gr_renderBatches into a 1280 × 720 window): a 1000 × 1000 layer
// scrolled across, against a 40 × 23 map that fills the same window. Both
// show about 40 × 23 tiles of 32 pixels, so the frames should cost about the
// same: what a frame pays follows what is seen, not the map's size. Needs a
// display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <lua.hpp>

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

// Frames of `world`; `scroll` moves the map node before each.
void frames(benchmark::State& state, const std::string& mapName, int width, int height, bool scroll) {
  bench::ensureContext(1280, 720);
  screenWidth = designWidth = 1280;
  screenHeight = designHeight = 720;
  addMap(mapName, width, height);
  lua_State* L = bench::worldFrom("node = { tilemap = '" + mapName + "' }\nworld = { camera = {}, node }\n");
  BatchMatrix batches;
  double x = 0;
  long tiles = 0;
  for (auto _ : state) {
    if (scroll) {
      // Across the map and back, 7 pixels a frame.
      x += 7;
      if (x > width * TILE / 2.0 - 640) x = -(width * TILE / 2.0 - 640);
      luaL_dostring(L, ("node.x = " + std::to_string(x)).c_str());
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
  }
  state.counters["tiles/frame"] = static_cast<double>(tiles) / static_cast<double>(state.iterations());
  maps::clear(tilemappass::releaseTextures);
  lua_close(L);
}

void scrolledLargeMap(benchmark::State& state) { frames(state, "large", 1000, 1000, true); }
void screenSizedMap(benchmark::State& state) { frames(state, "screen", 40, 23, false); }
BENCHMARK(scrolledLargeMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(screenSizedMap)->Unit(benchmark::kMicrosecond);
}  // namespace
