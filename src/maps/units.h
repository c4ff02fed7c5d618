// From Tiled's units to a node's: one unit a pixel, the map centred on the
// node, y up. Tiled measures from the map's top-left corner, y down.
#pragma once

#include "maps/map.h"

namespace maps {
inline double pixelWidth(const Map& map) { return static_cast<double>(map.width) * map.tileWidth; }
inline double pixelHeight(const Map& map) { return static_cast<double>(map.height) * map.tileHeight; }
inline Point toNode(const Map& map, double x, double y) {
  return {x - pixelWidth(map) / 2, pixelHeight(map) / 2 - y};
}
}  // namespace maps
