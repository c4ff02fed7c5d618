// The loaded maps by the name scripts use ("level1" is assets/maps/level1.tmx
// or level1.tmj), their files read through resources::openFile, and their
// tileset sheets decoded. A map that fails logs one line and is not tried
// again until a reload.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "maps/map.h"

namespace maps {
// Where maps are looked for; a test may point it elsewhere.
extern std::string folder;
extern std::map<std::string, Map> loaded;

// The map called `name`, loaded on first use; null when it cannot be (logged
// once: "Failed to load map NAME: WHY").
Map* get(const std::string& name);
// Reads, parses, checks and decodes the map's sheets; MapError on failure.
Map load(const std::string& name);
// The whole file, at most MAX_FILE_BYTES, through files::read; MapError when
// it is missing, unreadable or larger.
std::string readFile(const std::string& path);
// Loads every loaded map again (after a file of theirs changed). A map that
// now fails keeps running as it was (logged); `replaced` sees each map before
// its successor takes its place. Maps that had failed are tried afresh.
void reloadAll(const std::function<void(Map& old)>& replaced);
// Forgets every map; `released` sees each first.
void clear(const std::function<void(Map& old)>& released);
}  // namespace maps
