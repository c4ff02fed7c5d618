// Checks and conversions both map readers share.
#include "maps/build.h"

#include <cctype>
#include <cstdlib>

#include "maps/parse.h"

namespace maps {
void fail(const std::string& message) { throw MapError{message}; }

void checkHeader(const Map& map, const std::string& orientation, bool infinite) {
  if (orientation != "orthogonal")
    fail(orientation + " maps are not supported; only orthogonal ones");
  if (infinite) fail("infinite maps are not supported; turn off Infinite in the map's properties");
  if (map.width <= 0 || map.height <= 0 || map.width > MAX_SIDE || map.height > MAX_SIDE ||
      static_cast<size_t>(map.width) * static_cast<size_t>(map.height) > MAX_CELLS)
    fail("map size " + std::to_string(map.width) + " x " + std::to_string(map.height) +
         " is out of bounds (at most " + std::to_string(MAX_CELLS) + " cells)");
  if (map.tileWidth <= 0 || map.tileHeight <= 0 || map.tileWidth > MAX_TILE_SIDE ||
      map.tileHeight > MAX_TILE_SIDE)
    fail("tile size " + std::to_string(map.tileWidth) + " x " + std::to_string(map.tileHeight) +
         " is out of bounds");
}

void checkCellBudget(const Map& map) {
  size_t layers = 1;
  for (const Layer& layer : map.layers) layers += layer.kind == Layer::TILES;
  if (layers * static_cast<size_t>(map.width) * static_cast<size_t>(map.height) > MAX_MAP_CELLS)
    fail("the tile layers hold more than " + std::to_string(MAX_MAP_CELLS) + " cells together");
}

void finishTileset(Tileset& tileset) {
  const std::string label = "tileset \"" + tileset.name + "\"";
  if (tileset.tileWidth <= 0 || tileset.tileHeight <= 0 || tileset.tileWidth > MAX_TILE_SIDE ||
      tileset.tileHeight > MAX_TILE_SIDE)
    fail(label + " has a tile size out of bounds");
  if (tileset.spacing < 0 || tileset.margin < 0 || tileset.spacing > MAX_TILE_SIDE ||
      tileset.margin > MAX_TILE_SIDE)
    fail(label + " has a margin or spacing out of bounds");
  if (tileset.firstGid == 0 || tileset.firstGid > ~FLIP_BITS)
    fail(label + " has a first gid out of bounds");
  if (tileset.collection()) {
    // Ids of a collection may have gaps: its range ends after the highest.
    uint32_t end = tileset.tiles.empty() ? 0 : tileset.tiles.rbegin()->first + 1;
    if (end > tileset.tileCount) tileset.tileCount = end;
  } else {
    if (tileset.columns <= 0)
      tileset.columns = (tileset.imageWidth - 2 * tileset.margin + tileset.spacing) /
                        (tileset.tileWidth + tileset.spacing);
    if (tileset.tileCount == 0 && tileset.columns > 0) {
      int rows = (tileset.imageHeight - 2 * tileset.margin + tileset.spacing) /
                 (tileset.tileHeight + tileset.spacing);
      if (rows > 0) tileset.tileCount = static_cast<uint32_t>(rows * tileset.columns);
    }
    if (tileset.columns <= 0) fail(label + " has no columns");
  }
  if (tileset.tileCount > MAX_TILES) fail(label + " has too many tiles");
  for (const auto& entry : tileset.tiles)
    if (entry.first >= tileset.tileCount)
      fail(label + " describes tile " + std::to_string(entry.first) + " beyond its tile count");
}

Property makeProperty(const std::string& name, const std::string& type, const std::string& value) {
  Property property;
  property.name = name;
  property.type = type.empty() ? "string" : type;
  if (property.type == "int" || property.type == "float" || property.type == "object")
    property.number = std::strtod(value.c_str(), nullptr);
  else if (property.type == "bool")
    property.number = value == "true" || value == "1" ? 1 : 0;
  else
    property.text = value;
  return property;
}

bool parseColor(const std::string& text, float rgba[4]) {
  std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (hex.size() != 6 && hex.size() != 8) return false;
  for (char c : hex)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  unsigned long value = std::strtoul(hex.c_str(), nullptr, 16);
  rgba[0] = static_cast<float>((value >> 16) & 0xFF) / 255;
  rgba[1] = static_cast<float>((value >> 8) & 0xFF) / 255;
  rgba[2] = static_cast<float>(value & 0xFF) / 255;
  rgba[3] = hex.size() == 8 ? static_cast<float>((value >> 24) & 0xFF) / 255 : 1;
  return true;
}

void refuseTemplate(const std::string& templatePath) {
  if (!templatePath.empty())
    fail("object templates are not supported (" + templatePath +
         "); detach the objects from their template");
}

GroupState enter(const GroupState& outer, const Layer& group) {
  GroupState state = outer;
  state.offsetX += group.offsetX;
  state.offsetY += group.offsetY;
  state.opacity *= group.opacity;
  for (int k = 0; k < 4; ++k) state.tint[k] *= group.tint[k];
  state.visible = state.visible && group.visible;
  return state;
}

void applyGroups(Layer& layer, const GroupState& groups) {
  layer.offsetX += groups.offsetX;
  layer.offsetY += groups.offsetY;
  layer.opacity *= groups.opacity;
  for (int k = 0; k < 4; ++k) layer.tint[k] *= groups.tint[k];
  layer.visible = layer.visible && groups.visible;
}
}  // namespace maps
