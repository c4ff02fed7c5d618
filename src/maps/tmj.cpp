// TMJ maps and TSJ tilesets (Tiled's JSON), read with nlohmann::json. A field
// of the wrong type is an error rather than a default, and numbers are range
// checked before they are converted.
#include <nlohmann/json.hpp>

#include <cmath>

#include "maps/build.h"
#include "maps/readers.h"
#include "maps/tiledata.h"

namespace maps {
namespace {
using nlohmann::json;

const json* field(const json& object, const char* key) {
  if (!object.is_object()) fail(std::string("expected an object holding \"") + key + "\"");
  auto found = object.find(key);
  return found == object.end() || found->is_null() ? nullptr : &*found;
}

double number(const json& object, const char* key, double otherwise) {
  const json* value = field(object, key);
  if (!value) return otherwise;
  if (!value->is_number()) fail(std::string("\"") + key + "\" is not a number");
  double result = value->get<double>();
  if (!std::isfinite(result)) fail(std::string("\"") + key + "\" is not finite");
  return result;
}

// Whole numbers of an int's range; beyond it saturated, so later checks refuse them.
int integer(const json& object, const char* key, int otherwise = 0) {
  double value = number(object, key, otherwise);
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

uint32_t gidOf(const json& value) {
  if (!value.is_number_unsigned() && !(value.is_number_integer() && value.get<int64_t>() >= 0))
    fail("a tile id is not a whole number of 32 bits");
  uint64_t gid = value.get<uint64_t>();
  if (gid > 0xFFFFFFFFu) fail("tile id " + std::to_string(gid) + " exceeds 32 bits");
  return static_cast<uint32_t>(gid);
}

std::string text(const json& object, const char* key) {
  const json* value = field(object, key);
  if (!value) return "";
  if (!value->is_string()) fail(std::string("\"") + key + "\" is not a string");
  return value->get<std::string>();
}

bool flag(const json& object, const char* key, bool otherwise) {
  const json* value = field(object, key);
  if (!value) return otherwise;
  if (!value->is_boolean()) fail(std::string("\"") + key + "\" is not true or false");
  return value->get<bool>();
}

const json& array(const json& object, const char* key) {
  static const json empty = json::array();
  const json* value = field(object, key);
  if (!value) return empty;
  if (!value->is_array()) fail(std::string("\"") + key + "\" is not an array");
  return *value;
}

std::string valueText(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
  if (value.is_number()) return value.dump();
  return "";
}

// A class's members carry no types in JSON: they follow the values.
Properties members(const json& value) {
  Properties result;
  if (!value.is_object()) return result;
  for (auto item = value.begin(); item != value.end(); ++item) {
    const json& member = item.value();
    std::string type = member.is_boolean() ? "bool"
                       : member.is_number_float() ? "float"
                       : member.is_number() ? "int"
                       : member.is_object() ? "class"
                                            : "string";
    Property property = makeProperty(item.key(), type, valueText(member));
    if (type == "class") property.members = members(member);
    result.push_back(std::move(property));
  }
  return result;
}

Properties readProperties(const json& owner) {
  Properties properties;
  for (const json& node : array(owner, "properties")) {
    std::string type = text(node, "type");
    const json* value = field(node, "value");
    Property property = makeProperty(text(node, "name"), type, value ? valueText(*value) : "");
    if (property.type == "class" && value) property.members = members(*value);
    properties.push_back(std::move(property));
  }
  return properties;
}

std::vector<Point> readPoints(const json& list) {
  std::vector<Point> points;
  for (const json& node : list) points.push_back({number(node, "x", 0), number(node, "y", 0)});
  return points;
}

std::string className(const json& node) {
  std::string type = text(node, "class");
  return type.empty() ? text(node, "type") : type;
}

Object readObject(const json& node) {
  refuseTemplate(text(node, "template"));
  Object object;
  object.id = integer(node, "id");
  object.name = text(node, "name");
  object.type = className(node);
  object.x = number(node, "x", 0);
  object.y = number(node, "y", 0);
  object.width = number(node, "width", 0);
  object.height = number(node, "height", 0);
  object.rotation = number(node, "rotation", 0);
  object.visible = flag(node, "visible", true);
  if (const json* gid = field(node, "gid")) {
    object.gid = gidOf(*gid);
    object.shape = Object::TILE;
  } else if (flag(node, "ellipse", false)) {
    object.shape = Object::ELLIPSE;
  } else if (flag(node, "point", false)) {
    object.shape = Object::POINT;
  } else if (field(node, "polygon")) {
    object.shape = Object::POLYGON;
    object.points = readPoints(array(node, "polygon"));
  } else if (field(node, "polyline")) {
    object.shape = Object::POLYLINE;
    object.points = readPoints(array(node, "polyline"));
  } else if (const json* label = field(node, "text")) {
    object.shape = Object::TEXT;
    object.text = text(*label, "text");
  }
  object.properties = readProperties(node);
  return object;
}

std::vector<Object> readObjects(const json& owner) {
  std::vector<Object> objects;
  for (const json& node : array(owner, "objects")) objects.push_back(readObject(node));
  return objects;
}

void readTilesetBody(const json& node, const std::string& path, Tileset& tileset) {
  tileset.name = text(node, "name");
  tileset.tileWidth = integer(node, "tilewidth");
  tileset.tileHeight = integer(node, "tileheight");
  tileset.spacing = integer(node, "spacing");
  tileset.margin = integer(node, "margin");
  tileset.columns = integer(node, "columns");
  int count = integer(node, "tilecount");
  tileset.tileCount = count < 0 ? 0 : static_cast<uint32_t>(count);
  if (const json* offset = field(node, "tileoffset")) {
    tileset.offsetX = integer(*offset, "x");
    tileset.offsetY = integer(*offset, "y");
  }
  std::string image = text(node, "image");
  if (!image.empty()) {
    tileset.image = pathInGame(path, image);
    tileset.imageWidth = integer(node, "imagewidth");
    tileset.imageHeight = integer(node, "imageheight");
  }
  tileset.properties = readProperties(node);
  for (const json& tile : array(node, "tiles")) {
    int id = integer(tile, "id", -1);
    if (id < 0 || static_cast<uint32_t>(id) >= MAX_TILES)
      fail("tileset \"" + tileset.name + "\" has a tile id out of range");
    TileInfo& info = tileset.tiles[static_cast<uint32_t>(id)];
    info.type = className(tile);
    info.properties = readProperties(tile);
    if (const json* group = field(tile, "objectgroup")) info.shapes = readObjects(*group);
    for (const json& frame : array(tile, "animation")) {
      int frameTile = integer(frame, "tileid"), duration = integer(frame, "duration");
      info.animation.push_back({static_cast<uint32_t>(frameTile < 0 ? 0 : frameTile),
                                static_cast<uint32_t>(duration < 0 ? 0 : duration)});
    }
    std::string tileImage = text(tile, "image");
    if (!tileImage.empty()) {
      info.image = pathInGame(path, tileImage);
      info.imageWidth = integer(tile, "imagewidth");
      info.imageHeight = integer(tile, "imageheight");
    }
  }
}

Layer readLayerHeader(const json& node, Layer::Kind kind) {
  Layer layer;
  layer.kind = kind;
  layer.id = integer(node, "id");
  layer.name = text(node, "name");
  layer.type = text(node, "class");
  layer.visible = flag(node, "visible", true);
  layer.opacity = static_cast<float>(number(node, "opacity", 1));
  layer.offsetX = number(node, "offsetx", 0);
  layer.offsetY = number(node, "offsety", 0);
  std::string tint = text(node, "tintcolor");
  if (!tint.empty() && !parseColor(tint, layer.tint))
    fail("layer \"" + layer.name + "\" has a bad tint colour");
  layer.properties = readProperties(node);
  return layer;
}

void readTileData(const json& node, const Map& map, Layer& layer) {
  checkCellBudget(map);
  if (integer(node, "width", map.width) != map.width ||
      integer(node, "height", map.height) != map.height)
    fail("layer \"" + layer.name + "\": layer data does not match the map size");
  if (field(node, "chunks")) fail("infinite maps are not supported; turn off Infinite in the map's properties");
  const json* data = field(node, "data");
  if (!data) fail("layer \"" + layer.name + "\" has no data");
  size_t count = static_cast<size_t>(map.width) * static_cast<size_t>(map.height);
  try {
    if (data->is_string()) {
      std::string encoding = text(node, "encoding");
      layer.cells = decodeCells(data->get_ref<const std::string&>(),
                                encoding.empty() ? "base64" : encoding, text(node, "compression"),
                                count);
      return;
    }
    if (!data->is_array() || data->size() != count) fail("layer data does not match the map size");
    layer.cells.reserve(count);
    for (const json& gid : *data) layer.cells.push_back(gidOf(gid));
  } catch (const MapError& error) {
    fail("layer \"" + layer.name + "\": " + error.message);
  }
}

void readLayers(const json& parent, const GroupState& groups, Map& map) {
  for (const json& node : array(parent, "layers")) {
    std::string kind = text(node, "type");
    if (kind == "group") {
      Layer group = readLayerHeader(node, Layer::TILES);
      readLayers(node, enter(groups, group), map);
      continue;
    }
    Layer layer;
    if (kind == "tilelayer") {
      layer = readLayerHeader(node, Layer::TILES);
      readTileData(node, map, layer);
    } else if (kind == "objectgroup") {
      layer = readLayerHeader(node, Layer::OBJECTS);
      layer.objects = readObjects(node);
    } else if (kind == "imagelayer") {
      layer = readLayerHeader(node, Layer::IMAGE);
      std::string image = text(node, "image");
      if (!image.empty()) layer.image = pathInGame(map.path, image);
    } else {
      continue;
    }
    applyGroups(layer, groups);
    map.layers.push_back(std::move(layer));
  }
}

json parseJson(const std::string& document, const std::string& path) {
  json root = json::parse(document, nullptr, false);
  if (root.is_discarded() || !root.is_object()) fail(path + " is not a JSON object");
  return root;
}

// nlohmann reports its own surprises as exceptions: one line like the rest.
template <typename Body>
auto guarded(const Body& body) -> decltype(body()) {
  try {
    return body();
  } catch (const json::exception& error) {
    fail(std::string("malformed JSON: ") + error.what());
  }
}
}  // namespace

void readTsj(const std::string& document, const std::string& path, Tileset& tileset) {
  guarded([&] {
    readTilesetBody(parseJson(document, path), path, tileset);
    return 0;
  });
}

Map readTmj(const std::string& document, const std::string& path, const FileReader& read,
            const TilesetFileReader& readTilesetFile) {
  return guarded([&] {
    json root = parseJson(document, path);
    Map map;
    map.path = path;
    map.type = text(root, "class");
    map.width = integer(root, "width");
    map.height = integer(root, "height");
    map.tileWidth = integer(root, "tilewidth");
    map.tileHeight = integer(root, "tileheight");
    checkHeader(map, text(root, "orientation"), flag(root, "infinite", false));
    map.properties = readProperties(root);
    for (const json& node : array(root, "tilesets")) {
      Tileset tileset;
      int firstGid = integer(node, "firstgid");
      tileset.firstGid = firstGid < 0 ? 0 : static_cast<uint32_t>(firstGid);
      std::string source = text(node, "source");
      if (!source.empty()) {
        tileset.source = pathInGame(path, source);
        readTilesetFile(tileset, read);
      } else {
        readTilesetBody(node, path, tileset);
      }
      finishTileset(tileset);
      map.tilesets.push_back(std::move(tileset));
    }
    readLayers(root, GroupState{}, map);
    return map;
  });
}
}  // namespace maps
