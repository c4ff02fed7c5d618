// parseMap: the format by extension, external tilesets, the checks that hold
// for both formats, and the lookups on a map.
#include "maps/parse.h"

#include <algorithm>

#include "files/paths.h"
#include "maps/build.h"
#include "maps/readers.h"

namespace maps {
namespace {
bool endsWith(const std::string& text, const char* suffix) {
  size_t length = std::char_traits<char>::length(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

void readTilesetFile(Tileset& tileset, const FileReader& read) {
  const std::string& path = tileset.source;
  std::string text = read(path);
  try {
    if (endsWith(path, ".tsx"))
      readTsx(text, path, tileset);
    else if (endsWith(path, ".tsj") || endsWith(path, ".json"))
      readTsj(text, path, tileset);
    else
      fail("unknown tileset format");
  } catch (const MapError& error) {
    fail("tileset " + path + ": " + error.message);
  }
}

std::string where(const Layer& layer, size_t cell, int width) {
  int w = width > 0 ? width : 1;
  return "layer \"" + layer.name + "\" cell " + std::to_string(cell % static_cast<size_t>(w)) +
         "," + std::to_string(cell / static_cast<size_t>(w));
}

void checkGid(const Map& map, uint32_t gid, const std::string& place) {
  uint32_t id = gid & ~FLIP_BITS;
  if (id == 0) return;
  const Tileset* tileset = map.tilesetOf(id);
  bool known = tileset && (!tileset->collection() || tileset->tiles.count(id - tileset->firstGid));
  if (!known) fail("tile id " + std::to_string(id) + " is out of range (" + place + ")");
}
}  // namespace

Map parseMap(const std::string& text, const std::string& path, const FileReader& read) {
  Map map;
  if (endsWith(path, ".tmx"))
    map = readTmx(text, path, read, readTilesetFile);
  else if (endsWith(path, ".tmj") || endsWith(path, ".json"))
    map = readTmj(text, path, read, readTilesetFile);
  else
    fail("unknown map format");
  std::stable_sort(map.tilesets.begin(), map.tilesets.end(),
                   [](const Tileset& a, const Tileset& b) { return a.firstGid < b.firstGid; });
  for (size_t k = 1; k < map.tilesets.size(); ++k) {
    const Tileset& before = map.tilesets[k - 1];
    if (before.firstGid + before.tileCount > map.tilesets[k].firstGid)
      fail("tilesets \"" + before.name + "\" and \"" + map.tilesets[k].name + "\" overlap");
  }
  validate(map);
  return map;
}

void validate(const Map& map) {
  for (const Layer& layer : map.layers) {
    for (size_t cell = 0; cell < layer.cells.size(); ++cell)
      checkGid(map, layer.cells[cell], where(layer, cell, map.width));
    for (const Object& object : layer.objects)
      if (object.shape == Object::TILE)
        checkGid(map, object.gid, "object " + std::to_string(object.id));
  }
  for (const Tileset& tileset : map.tilesets)
    for (const auto& entry : tileset.tiles)
      for (const Frame& frame : entry.second.animation) {
        bool known = frame.tile < tileset.tileCount &&
                     (!tileset.collection() || tileset.tiles.count(frame.tile));
        if (!known)
          fail("tileset \"" + tileset.name + "\": tile " + std::to_string(entry.first) +
               " animates to tile id " + std::to_string(frame.tile) + ", which is out of range");
      }
}

std::string pathInGame(const std::string& path, const std::string& relative) {
  std::string resolved;
  if (!paths::resolveInGame(path, relative, resolved)) fail(relative + " is outside the game");
  return resolved;
}

const Tileset* Map::tilesetOf(uint32_t gid) const {
  uint32_t id = gid & ~FLIP_BITS;
  for (auto tileset = tilesets.rbegin(); tileset != tilesets.rend(); ++tileset)
    if (id >= tileset->firstGid) return tileset->holds(id) ? &*tileset : nullptr;
  return nullptr;
}

int Map::findLayer(const std::string& layerName) const {
  for (size_t k = 0; k < layers.size(); ++k)
    if (layers[k].name == layerName) return static_cast<int>(k);
  return -1;
}
}  // namespace maps
