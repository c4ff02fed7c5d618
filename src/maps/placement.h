// Where a tile's collision shapes and an object's corners lie: the geometry
// the script's tables and the map's static bodies share, in Tiled's pixels
// (y down) until they are placed in the node's units (units.h).
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/angles.h"
#include "maps/map.h"
#include "maps/units.h"

namespace maps {
// Tiled's offset (dx, dy) from an object's anchor, turned with the object.
inline Point turned(const Object& object, double dx, double dy) {
  double angle = angles::toRadians(object.rotation);
  double c = std::cos(angle), s = std::sin(angle);
  return {object.x + dx * c - dy * s, object.y + dx * s + dy * c};
}

// A point in a tile's own pixels with the cell's flips applied: Tiled flips
// the diagonal first, then x, then y.
inline Point flipped(Point point, uint32_t gid, double width, double height) {
  if (gid & FLIP_DIAGONAL) std::swap(point.x, point.y);
  if (gid & FLIP_X) point.x = width - point.x;
  if (gid & FLIP_Y) point.y = height - point.y;
  return point;
}

// Counter-clockwise with y up: positive signed area.
inline void counterClockwise(std::vector<Point>& points) {
  double area = 0;
  for (size_t k = 0; k < points.size(); ++k) {
    const Point& a = points[k];
    const Point& b = points[(k + 1) % points.size()];
    area += a.x * b.y - b.x * a.y;
  }
  if (area < 0) std::reverse(points.begin(), points.end());
}

// A tile drawn at a cell: its picture's size and its top-left corner in map
// pixels (it stands on its cell's bottom).
struct PlacedTile {
  const Tileset* tileset = nullptr;
  const TileInfo* info = nullptr;  // null when the tileset says nothing of it
  double width = 0, height = 0;
  double left = 0, top = 0;
};

// The tile at `cell` of the tile layer; tileset null for an empty cell.
inline PlacedTile placeTile(const Map& map, const Layer& layer, size_t cell) {
  PlacedTile placed;
  uint32_t gid = layer.cells[cell];
  placed.tileset = map.tilesetOf(gid);
  if (!placed.tileset) return placed;
  const Tileset& tileset = *placed.tileset;
  uint32_t local = (gid & ~FLIP_BITS) - tileset.firstGid;
  auto info = tileset.tiles.find(local);
  if (info != tileset.tiles.end()) placed.info = &info->second;
  const Rect* rect = local < tileset.rects.size() ? &tileset.rects[local] : nullptr;
  placed.width = rect ? rect->width : tileset.tileWidth;
  placed.height = rect ? rect->height : tileset.tileHeight;
  size_t column = cell % static_cast<size_t>(map.width), row = cell / static_cast<size_t>(map.width);
  placed.left = static_cast<double>(column) * map.tileWidth + tileset.offsetX + layer.offsetX;
  placed.top = static_cast<double>(row + 1) * map.tileHeight - placed.height + tileset.offsetY + layer.offsetY;
  return placed;
}

// A point of a placed tile's collision shape, given in the tile's own pixels
// (y down, already turned with its object), in the node's units: the cell's
// flips applied, then the tile's place in the map.
inline Point onTile(const Map& map, const PlacedTile& tile, uint32_t gid, Point point) {
  Point local = flipped(point, gid, tile.width, tile.height);
  return toNode(map, tile.left + local.x, tile.top + local.y);
}
}  // namespace maps
