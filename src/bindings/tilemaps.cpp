// The tilemaps module's calls over the map registry.
#include "bindings/tilemaps.h"

#include <stdexcept>
#include <string>

#include "bindings/maptables.h"
#include "maps/loader.h"

namespace tilemaps {
namespace {
maps::Map& mapNamed(const char* name) {
  maps::Map* map = maps::get(name);
  if (!map) throw std::runtime_error(std::string("no map ") + name + " could be loaded");
  return *map;
}

maps::Layer& tileLayerNamed(maps::Map& map, const char* tileLayer) {
  int index = map.findLayer(tileLayer);
  if (index < 0 || map.layers[static_cast<size_t>(index)].kind != maps::Layer::TILES)
    throw std::runtime_error("map " + map.name + " has no tile layer " + tileLayer);
  return map.layers[static_cast<size_t>(index)];
}

uint32_t& cellAt(maps::Map& map, maps::Layer& layer, int x, int y) {
  if (x < 0 || y < 0 || x >= map.width || y >= map.height)
    throw std::runtime_error("cell " + std::to_string(x) + "," + std::to_string(y) +
                             " is outside the " + std::to_string(map.width) + " x " +
                             std::to_string(map.height) + " map " + map.name);
  return layer.cells[static_cast<size_t>(y) * static_cast<size_t>(map.width) + static_cast<size_t>(x)];
}
}  // namespace

MapTable getMap(const char* name) { return {&mapNamed(name)}; }

ShapeList getTileShapes(const char* name, const char* tileLayer) {
  maps::Map& map = mapNamed(name);
  return {&map, &tileLayerNamed(map, tileLayer)};
}

unsigned getTile(const char* name, const char* tileLayer, int x, int y, bool* flipX, bool* flipY,
                 bool* flipDiagonal) {
  maps::Map& map = mapNamed(name);
  uint32_t gid = cellAt(map, tileLayerNamed(map, tileLayer), x, y);
  *flipX = (gid & maps::FLIP_X) != 0;
  *flipY = (gid & maps::FLIP_Y) != 0;
  *flipDiagonal = (gid & maps::FLIP_DIAGONAL) != 0;
  return gid & ~maps::FLIP_BITS;
}

void setTile(const char* name, const char* tileLayer, int x, int y, unsigned gid, bool flipX,
             bool flipY, bool flipDiagonal) {
  maps::Map& map = mapNamed(name);
  uint32_t& cell = cellAt(map, tileLayerNamed(map, tileLayer), x, y);
  const maps::Tileset* tileset = map.tilesetOf(gid);
  bool known = gid == 0 || (gid <= ~maps::FLIP_BITS && tileset &&
                            (!tileset->collection() || tileset->tiles.count(gid - tileset->firstGid)));
  if (!known) throw std::runtime_error("tile id " + std::to_string(gid) + " is out of range");
  if (gid == 0) {
    cell = 0;
    return;
  }
  cell = gid | (flipX ? maps::FLIP_X : 0) | (flipY ? maps::FLIP_Y : 0) |
         (flipDiagonal ? maps::FLIP_DIAGONAL : 0);
}

void pushTable(lua_State* L, const MapTable& table) { maptables::pushMap(L, *table.map); }

void pushTable(lua_State* L, const ShapeList& list) { maptables::pushTileShapes(L, *list.map, *list.layer); }
}  // namespace tilemaps
