// The map registry: loading by name, the file size cap, reloads.
#include "maps/loader.h"

#include <cstdio>

#include "assets/resources.h"
#include "core/log.h"
#include "files/files.h"
#include "maps/parse.h"
#include "maps/sheets.h"

namespace maps {
std::string folder = "assets/maps/";
std::map<std::string, Map> loaded;

namespace {
// Names whose load failed, so a map drawn every frame logs its line once.
std::map<std::string, std::string> failed;

bool exists(const std::string& path) {
  FILE* file = resources::openFile(path.c_str(), "rb");
  if (file) fclose(file);
  return file != nullptr;
}
}  // namespace

std::string readFile(const std::string& path) {
  // Capped while reading: the JSON parser would hold the whole document.
  std::string text, error;
  files::ReadFailure failure;
  if (files::read(path, text, error, MAX_FILE_BYTES, &failure)) return text;
  if (failure == files::ReadFailure::CannotOpen) throw MapError{path + " is missing"};
  if (failure == files::ReadFailure::TooLarge)
    throw MapError{path + " is larger than " + std::to_string(MAX_FILE_BYTES >> 20) + " MiB"};
  throw MapError{path + " cannot be read"};
}

Map load(const std::string& name) {
  std::string path = folder + name + ".tmx";
  if (!exists(path)) path = folder + name + ".tmj";
  if (!exists(path))
    throw MapError{"no " + folder + name + ".tmx or " + folder + name + ".tmj"};
  Map map = parseMap(readFile(path), path, readFile);
  map.name = name;
  for (Tileset& tileset : map.tilesets) buildSheet(tileset);
  return map;
}

Map* get(const std::string& name) {
  auto found = loaded.find(name);
  if (found != loaded.end()) return &found->second;
  if (failed.count(name)) return nullptr;
  try {
    return &(loaded[name] = load(name));
  } catch (const MapError& error) {
    loaded.erase(name);
    failed[name] = error.message;
    DLOG(LogLevel::Error, "Failed to load map %s: %s\n", name.c_str(), error.message.c_str());
    return nullptr;
  }
}

void reloadAll(const std::function<void(Map& old)>& replaced) {
  failed.clear();
  for (auto& entry : loaded) {
    try {
      Map fresh = load(entry.first);
      replaced(entry.second);
      entry.second = std::move(fresh);
      DLOG(LogLevel::Info, "Reloaded map %s\n", entry.first.c_str());
    } catch (const MapError& error) {
      DLOG(LogLevel::Error, "Failed to reload map %s: %s\n", entry.first.c_str(),
           error.message.c_str());
    }
  }
}

void clear(const std::function<void(Map& old)>& released) {
  for (auto& entry : loaded) released(entry.second);
  loaded.clear();
  failed.clear();
}
}  // namespace maps
