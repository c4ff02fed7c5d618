// The two document readers behind parseMap, one per format, and the reader of
// an external tileset file that both call.
#pragma once

#include <functional>
#include <string>

#include "maps/map.h"
#include "maps/parse.h"

namespace maps {
// Reads the external tileset file `tileset.source` into `tileset` (TSX or TSJ
// by its extension).
using TilesetFileReader = std::function<void(Tileset& tileset, const FileReader& read)>;

Map readTmx(const std::string& text, const std::string& path, const FileReader& read,
            const TilesetFileReader& readTilesetFile);
Map readTmj(const std::string& text, const std::string& path, const FileReader& read,
            const TilesetFileReader& readTilesetFile);
// A tileset document's content; relative paths resolve against `path`.
void readTsx(const std::string& text, const std::string& path, Tileset& tileset);
void readTsj(const std::string& text, const std::string& path, Tileset& tileset);
}  // namespace maps
