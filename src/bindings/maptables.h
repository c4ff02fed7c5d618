// A loaded map handed to scripts as plain Lua tables, in the node's units
// (one unit a pixel, the map centred on its node, y up; see docs/tilemaps.md),
// and the tile layer's collision shapes placed on the map.
#pragma once

#include <lua.hpp>

#include "maps/map.h"

namespace maptables {
// Pushes the whole description: size, tile size, layers with their objects,
// tilesets, tiles by gid with their properties, shapes and animations.
void pushMap(lua_State* L, const maps::Map& map);
// Pushes a list of the collision shapes of every tile in the layer, each
// placed at its cell with the cell's flips applied.
void pushTileShapes(lua_State* L, const maps::Map& map, const maps::Layer& layer);
}  // namespace maptables
