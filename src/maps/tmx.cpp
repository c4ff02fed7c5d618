// TMX maps and TSX tilesets, read with pugixml.
#include <pugixml.hpp>

#include <cstring>

#include "maps/build.h"
#include "maps/parse.h"
#include "maps/tiledata.h"
#include "maps/readers.h"

namespace maps {
namespace {
pugi::xml_document parseXml(const std::string& text, const std::string& path) {
  pugi::xml_document document;
  pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
  if (!result) fail(path + " is not well-formed XML: " + result.description());
  return document;
}

Properties readProperties(const pugi::xml_node& owner) {
  Properties properties;
  for (pugi::xml_node node : owner.child("properties").children("property")) {
    // Multi-line strings keep their value as the element's text.
    const char* value = node.attribute("value") ? node.attribute("value").value() : node.text().get();
    Property property = makeProperty(node.attribute("name").value(), node.attribute("type").value(), value);
    if (property.type == "class") property.members = readProperties(node);
    properties.push_back(std::move(property));
  }
  return properties;
}

std::vector<Point> readPoints(const char* text) {
  std::vector<Point> points;
  const char* c = text;
  while (*c) {
    char* end = nullptr;
    Point point;
    point.x = std::strtod(c, &end);
    if (end == c || *end != ',') fail("malformed points \"" + std::string(text) + "\"");
    c = end + 1;
    point.y = std::strtod(c, &end);
    if (end == c) fail("malformed points \"" + std::string(text) + "\"");
    c = end;
    while (*c == ' ') ++c;
    points.push_back(point);
  }
  return points;
}

Object readObject(const pugi::xml_node& node) {
  refuseTemplate(node.attribute("template").value());
  Object object;
  object.id = node.attribute("id").as_int();
  object.name = node.attribute("name").value();
  object.type = node.attribute("class") ? node.attribute("class").value() : node.attribute("type").value();
  object.x = node.attribute("x").as_double();
  object.y = node.attribute("y").as_double();
  object.width = node.attribute("width").as_double();
  object.height = node.attribute("height").as_double();
  object.rotation = node.attribute("rotation").as_double();
  object.visible = node.attribute("visible").as_int(1) != 0;
  if (pugi::xml_attribute gid = node.attribute("gid")) {
    const char* text = gid.value();
    object.gid = parseGid(text, text + strlen(text));
    object.shape = Object::TILE;
  } else if (node.child("ellipse")) {
    object.shape = Object::ELLIPSE;
  } else if (node.child("point")) {
    object.shape = Object::POINT;
  } else if (pugi::xml_node polygon = node.child("polygon")) {
    object.shape = Object::POLYGON;
    object.points = readPoints(polygon.attribute("points").value());
  } else if (pugi::xml_node polyline = node.child("polyline")) {
    object.shape = Object::POLYLINE;
    object.points = readPoints(polyline.attribute("points").value());
  } else if (pugi::xml_node text = node.child("text")) {
    object.shape = Object::TEXT;
    object.text = text.text().get();
  }
  object.properties = readProperties(node);
  return object;
}

std::vector<Object> readObjects(const pugi::xml_node& group) {
  std::vector<Object> objects;
  for (pugi::xml_node node : group.children("object")) objects.push_back(readObject(node));
  return objects;
}

// The tileset element's own content (embedded, or the root of a .tsx file);
// `path` is the file its relative image paths start from.
void readTilesetBody(const pugi::xml_node& node, const std::string& path, Tileset& tileset) {
  tileset.name = node.attribute("name").value();
  tileset.tileWidth = node.attribute("tilewidth").as_int();
  tileset.tileHeight = node.attribute("tileheight").as_int();
  tileset.spacing = node.attribute("spacing").as_int();
  tileset.margin = node.attribute("margin").as_int();
  tileset.columns = node.attribute("columns").as_int();
  tileset.tileCount = node.attribute("tilecount").as_uint();
  tileset.offsetX = node.child("tileoffset").attribute("x").as_int();
  tileset.offsetY = node.child("tileoffset").attribute("y").as_int();
  if (pugi::xml_node image = node.child("image")) {
    const char* source = image.attribute("source").value();
    if (!*source) fail("tileset \"" + tileset.name + "\" names no image");
    tileset.image = pathInGame(path, source);
    tileset.imageWidth = image.attribute("width").as_int();
    tileset.imageHeight = image.attribute("height").as_int();
  }
  tileset.properties = readProperties(node);
  for (pugi::xml_node tile : node.children("tile")) {
    uint32_t id = tile.attribute("id").as_uint();
    if (id >= MAX_TILES) fail("tileset \"" + tileset.name + "\" has a tile id out of range");
    TileInfo& info = tileset.tiles[id];
    info.type = tile.attribute("class") ? tile.attribute("class").value() : tile.attribute("type").value();
    info.properties = readProperties(tile);
    info.shapes = readObjects(tile.child("objectgroup"));
    for (pugi::xml_node frame : tile.child("animation").children("frame"))
      info.animation.push_back({frame.attribute("tileid").as_uint(), frame.attribute("duration").as_uint()});
    if (pugi::xml_node image = tile.child("image")) {
      info.image = pathInGame(path, image.attribute("source").value());
      info.imageWidth = image.attribute("width").as_int();
      info.imageHeight = image.attribute("height").as_int();
    }
  }
}

Layer readLayerHeader(const pugi::xml_node& node, Layer::Kind kind) {
  Layer layer;
  layer.kind = kind;
  layer.id = node.attribute("id").as_int();
  layer.name = node.attribute("name").value();
  layer.type = node.attribute("class").value();
  layer.visible = node.attribute("visible").as_int(1) != 0;
  layer.opacity = node.attribute("opacity").as_float(1);
  layer.offsetX = node.attribute("offsetx").as_double();
  layer.offsetY = node.attribute("offsety").as_double();
  if (pugi::xml_attribute tint = node.attribute("tintcolor"))
    if (!parseColor(tint.value(), layer.tint)) fail("layer \"" + layer.name + "\" has a bad tint colour");
  layer.properties = readProperties(node);
  return layer;
}

void readTileData(const pugi::xml_node& node, const Map& map, Layer& layer) {
  checkCellBudget(map);
  if (node.attribute("width").as_int(map.width) != map.width ||
      node.attribute("height").as_int(map.height) != map.height)
    fail("layer \"" + layer.name + "\": layer data does not match the map size");
  pugi::xml_node data = node.child("data");
  if (!data) fail("layer \"" + layer.name + "\" has no data");
  if (data.child("chunk")) fail("infinite maps are not supported; turn off Infinite in the map's properties");
  size_t count = static_cast<size_t>(map.width) * static_cast<size_t>(map.height);
  try {
    if (data.attribute("encoding")) {
      layer.cells = decodeCells(data.text().get(), data.attribute("encoding").value(),
                                data.attribute("compression").value(), count);
      return;
    }
    // The oldest form: one <tile gid="..."/> element a cell.
    for (pugi::xml_node tile : data.children("tile")) {
      if (layer.cells.size() == count) fail("layer data does not match the map size");
      const char* gid = tile.attribute("gid").value();
      layer.cells.push_back(*gid ? parseGid(gid, gid + strlen(gid)) : 0);
    }
    if (layer.cells.size() != count) fail("layer data does not match the map size");
  } catch (const MapError& error) {
    fail("layer \"" + layer.name + "\": " + error.message);
  }
}

void readLayers(const pugi::xml_node& parent, const GroupState& groups, Map& map) {
  for (pugi::xml_node node : parent.children()) {
    std::string kind = node.name();
    if (kind == "group") {
      Layer group = readLayerHeader(node, Layer::TILES);
      readLayers(node, enter(groups, group), map);
      continue;
    }
    Layer layer;
    if (kind == "layer") {
      layer = readLayerHeader(node, Layer::TILES);
      readTileData(node, map, layer);
    } else if (kind == "objectgroup") {
      layer = readLayerHeader(node, Layer::OBJECTS);
      layer.objects = readObjects(node);
    } else if (kind == "imagelayer") {
      layer = readLayerHeader(node, Layer::IMAGE);
      const char* source = node.child("image").attribute("source").value();
      if (*source) layer.image = pathInGame(map.path, source);
    } else {
      continue;
    }
    applyGroups(layer, groups);
    map.layers.push_back(std::move(layer));
  }
}
}  // namespace

void readTsx(const std::string& text, const std::string& path, Tileset& tileset) {
  pugi::xml_document document = parseXml(text, path);
  pugi::xml_node root = document.child("tileset");
  if (!root) fail(path + " holds no tileset");
  readTilesetBody(root, path, tileset);
}

Map readTmx(const std::string& text, const std::string& path, const FileReader& read,
            const TilesetFileReader& readTilesetFile) {
  pugi::xml_document document = parseXml(text, path);
  pugi::xml_node root = document.child("map");
  if (!root) fail("no <map> element");
  Map map;
  map.path = path;
  map.type = root.attribute("class").value();
  map.width = root.attribute("width").as_int();
  map.height = root.attribute("height").as_int();
  map.tileWidth = root.attribute("tilewidth").as_int();
  map.tileHeight = root.attribute("tileheight").as_int();
  checkHeader(map, root.attribute("orientation").value(), root.attribute("infinite").as_int() != 0);
  map.properties = readProperties(root);
  for (pugi::xml_node node : root.children("tileset")) {
    Tileset tileset;
    tileset.firstGid = node.attribute("firstgid").as_uint();
    if (const char* source = node.attribute("source").value(); *source) {
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
}
}  // namespace maps
