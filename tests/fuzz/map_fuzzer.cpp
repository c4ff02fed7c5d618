// Fuzzes the map parser: TMX when the input starts with '<', else TMJ, with
// an external tileset of each format at hand. Whatever the input, it either
// is refused with a message or gives a map whose every tile layer holds one
// gid a cell, each 0 or a tile of a tileset, and whose tilesets stay apart.
#include "harness.h"
#include "maps/parse.h"

namespace {
const char* const TSX =
    "<tileset name=\"x\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"2\" columns=\"2\">"
    "<image source=\"x.png\" width=\"16\" height=\"8\"/></tileset>";
const char* const TSJ =
    R"({"name":"j","tilewidth":8,"tileheight":8,"tilecount":1,"columns":0,
        "tiles":[{"id":0,"image":"a.png","imagewidth":8,"imageheight":8}]})";

std::string readTileset(const std::string& path) {
  if (path == "fuzz.tsx") return TSX;
  if (path == "fuzz.tsj") return TSJ;
  throw maps::MapError{path + " is missing"};
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* path = size > 0 && data[0] == '<' ? "fuzz.tmx" : "fuzz.tmj";
  try {
    maps::Map map = maps::parseMap(text, path, readTileset);
    FUZZ_CHECK(map.width > 0 && map.height > 0);
    size_t cells = static_cast<size_t>(map.width) * static_cast<size_t>(map.height);
    FUZZ_CHECK(cells <= maps::MAX_CELLS);
    for (size_t k = 1; k < map.tilesets.size(); ++k)
      FUZZ_CHECK(map.tilesets[k - 1].firstGid + map.tilesets[k - 1].tileCount <=
                 map.tilesets[k].firstGid);
    for (const maps::Layer& layer : map.layers) {
      if (layer.kind == maps::Layer::TILES) FUZZ_CHECK(layer.cells.size() == cells);
      for (uint32_t gid : layer.cells) {
        uint32_t id = gid & ~maps::FLIP_BITS;
        FUZZ_CHECK(id == 0 || map.tilesetOf(id) != nullptr);
      }
    }
  } catch (const maps::MapError& error) {
    FUZZ_CHECK(!error.message.empty());
  }
  return 0;
}
