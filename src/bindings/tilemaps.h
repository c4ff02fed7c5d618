// The tilemaps module: a loaded map as plain tables, a tile layer's collision
// shapes, and reading and writing the tile at a cell. Maps are named as
// nodes name them ("level1"); cells count from 0, column x from the left, row
// y from the top, as Tiled shows them. A wrong name or cell raises an error.
#pragma once

#include <lua.hpp>

#include "maps/map.h"

namespace tilemaps {
// Results the module pushes as tables (see bindings/maptables.h). The
// binding's typemaps turn them into the tables themselves.
struct MapTable {
  const maps::Map* map;
};
struct ShapeList {
  const maps::Map* map;
  const maps::Layer* layer;
};

MapTable getMap(const char* name);
ShapeList getTileShapes(const char* name, const char* tileLayer);
// The tile's gid (0 for an empty cell) and its flips.
unsigned getTile(const char* name, const char* tileLayer, int x, int y, bool* flipX, bool* flipY,
                 bool* flipDiagonal);
// Puts `gid` (0 empties the cell) at the cell, flipped as asked; what is
// drawn changes from the next frame.
void setTile(const char* name, const char* tileLayer, int x, int y, unsigned gid,
             bool flipX = false, bool flipY = false, bool flipDiagonal = false);

// The pushes behind the typemaps.
void pushTable(lua_State* L, const MapTable& table);
void pushTable(lua_State* L, const ShapeList& list);
}  // namespace tilemaps
