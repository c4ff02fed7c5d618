// Map documents to records: TMX (XML) and TMJ (JSON) maps with their embedded
// or external tilesets (.tsx/.tsj). Everything a document can get wrong is a
// MapError; nothing here reads images.
#pragma once

#include <functional>
#include <string>

#include "maps/map.h"

namespace maps {
// Returns the whole file at `path`, or throws MapError when it cannot.
using FileReader = std::function<std::string(const std::string& path)>;

// What a map may be, checked before anything is allocated for it.
const int MAX_SIDE = 65536;                      // cells a side
const size_t MAX_CELLS = size_t{1} << 24;        // cells a layer
const size_t MAX_MAP_CELLS = size_t{1} << 25;    // cells of all tile layers together
const int MAX_TILE_SIDE = 4096;                  // pixels
const uint32_t MAX_TILES = uint32_t{1} << 20;    // a tileset
const size_t MAX_FILE_BYTES = size_t{64} << 20;  // a map or tileset document

// Parses the document by its extension (.tmx or .tmj). Relative paths in it
// (external tilesets, images) resolve against `path`'s folder.
Map parseMap(const std::string& text, const std::string& path, const FileReader& read);
// Every gid in the layers and tile objects is 0 or names a tile of a tileset,
// and every animation frame a tile of its own tileset; MapError otherwise.
void validate(const Map& map);

// `relative` as the document at `path` names it, resolved against its folder
// by the game's one path rule (paths::resolveInGame); a MapError when it is
// absolute or leaves the game.
std::string pathInGame(const std::string& path, const std::string& relative);
}  // namespace maps
