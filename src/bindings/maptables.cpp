// Map records to Lua tables. Positions go from Tiled's pixels (y down, from a
// corner) to the node's units (y up, from the centre); rotations turn from
// clockwise to counter-clockwise degrees; polygons are listed counter-
// clockwise, which the y flip alone would have made clockwise.
#include "bindings/maptables.h"

#include <algorithm>
#include <cmath>

#include "core/luautils.h"
#include "maps/placement.h"
#include "maps/units.h"

namespace maptables {
namespace {
using maps::counterClockwise;
using maps::turned;

// Where Tiled's (0, 0) lies in the output: (x, y) becomes (x - cx, cy - y).
struct Origin {
  double cx = 0, cy = 0;
  maps::Point place(double x, double y) const { return {x - cx, cy - y}; }
};

void setNumber(lua_State* L, const char* key, double value) {
  lua_pushnumber(L, value);
  lua_setfield(L, -2, key);
}

void setString(lua_State* L, const char* key, const std::string& value) {
  lua_pushlstring(L, value.data(), value.size());
  lua_setfield(L, -2, key);
}

void setBool(lua_State* L, const char* key, bool value) {
  lua_pushboolean(L, value);
  lua_setfield(L, -2, key);
}

void pushValue(lua_State* L, const maps::Property& property);

// name → value into the table on top.
void pushPropertyValues(lua_State* L, const maps::Properties& properties) {
  lua_createtable(L, 0, static_cast<int>(properties.size()));
  for (const maps::Property& property : properties) {
    pushValue(L, property);
    lua_setfield(L, -2, property.name.c_str());
  }
}

void pushValue(lua_State* L, const maps::Property& property) {
  if (property.type == "int" || property.type == "float" || property.type == "object")
    lua_pushnumber(L, property.number);
  else if (property.type == "bool")
    lua_pushboolean(L, property.number != 0);
  else if (property.type == "class")
    pushPropertyValues(L, property.members);
  else
    lua_pushlstring(L, property.text.data(), property.text.size());
}

// `properties` (name → value) and `propertyTypes` (name → Tiled's type).
void setProperties(lua_State* L, const maps::Properties& properties) {
  pushPropertyValues(L, properties);
  lua_setfield(L, -2, "properties");
  lua_createtable(L, 0, static_cast<int>(properties.size()));
  for (const maps::Property& property : properties) {
    setString(L, property.name.c_str(), property.type);
  }
  lua_setfield(L, -2, "propertyTypes");
}

void setPoints(lua_State* L, const std::vector<maps::Point>& points) {
  lua_createtable(L, static_cast<int>(points.size()), 0);
  for (size_t k = 0; k < points.size(); ++k) {
    lua_createtable(L, 0, 2);
    setNumber(L, "x", points[k].x);
    setNumber(L, "y", points[k].y);
    lua_rawseti(L, -2, static_cast<int>(k + 1));
  }
  lua_setfield(L, -2, "points");
}

const char* shapeName(maps::Object::Shape shape) {
  static const char* const NAMES[] = {"rectangle", "ellipse", "point", "polygon",
                                      "polyline",  "text",    "tile"};
  return NAMES[shape];
}

void setTileFlags(lua_State* L, uint32_t gid) {
  setNumber(L, "gid", gid & ~maps::FLIP_BITS);
  setBool(L, "flipX", (gid & maps::FLIP_X) != 0);
  setBool(L, "flipY", (gid & maps::FLIP_Y) != 0);
  setBool(L, "flipDiagonal", (gid & maps::FLIP_DIAGONAL) != 0);
}

void pushObject(lua_State* L, const maps::Object& object, const Origin& origin) {
  lua_createtable(L, 0, 16);
  setNumber(L, "id", object.id);
  setString(L, "name", object.name);
  setString(L, "type", object.type);
  setString(L, "shape", shapeName(object.shape));
  maps::Point anchor = origin.place(object.x, object.y);
  setNumber(L, "x", anchor.x);
  setNumber(L, "y", anchor.y);
  setNumber(L, "width", object.width);
  setNumber(L, "height", object.height);
  setNumber(L, "rotation", object.rotation == 0 ? 0 : -object.rotation);
  setBool(L, "visible", object.visible);
  // The centre: where a sprite standing for the object goes.
  maps::Point centre = {object.x, object.y};
  if (object.shape == maps::Object::TILE)
    centre = turned(object, object.width / 2, -object.height / 2);
  else if (object.shape != maps::Object::POINT && object.shape != maps::Object::POLYGON &&
           object.shape != maps::Object::POLYLINE)
    centre = turned(object, object.width / 2, object.height / 2);
  maps::Point placedCentre = origin.place(centre.x, centre.y);
  setNumber(L, "centerX", placedCentre.x);
  setNumber(L, "centerY", placedCentre.y);
  if (object.shape == maps::Object::POLYGON || object.shape == maps::Object::POLYLINE) {
    std::vector<maps::Point> points;
    for (const maps::Point& point : object.points) {
      maps::Point at = turned(object, point.x, point.y);
      points.push_back(origin.place(at.x, at.y));
    }
    if (object.shape == maps::Object::POLYGON) counterClockwise(points);
    setPoints(L, points);
  }
  if (object.shape == maps::Object::TEXT) setString(L, "text", object.text);
  if (object.shape == maps::Object::TILE) setTileFlags(L, object.gid);
  setProperties(L, object.properties);
}

void pushLayer(lua_State* L, const maps::Map& map, const maps::Layer& layer) {
  static const char* const KINDS[] = {"tiles", "objects", "image"};
  lua_createtable(L, 0, 12);
  setNumber(L, "id", layer.id);
  setString(L, "name", layer.name);
  setString(L, "kind", KINDS[layer.kind]);
  setString(L, "type", layer.type);
  setBool(L, "visible", layer.visible);
  setNumber(L, "opacity", layer.opacity);
  setNumber(L, "offsetX", layer.offsetX);
  setNumber(L, "offsetY", -layer.offsetY);
  lua_createtable(L, 4, 0);
  for (int k = 0; k < 4; ++k) {
    lua_pushnumber(L, layer.tint[k]);
    lua_rawseti(L, -2, k + 1);
  }
  lua_setfield(L, -2, "tint");
  if (!layer.image.empty()) setString(L, "image", layer.image);
  setProperties(L, layer.properties);
  if (layer.kind == maps::Layer::OBJECTS) {
    Origin origin{maps::pixelWidth(map) / 2 - layer.offsetX,
                  maps::pixelHeight(map) / 2 - layer.offsetY};
    lua_createtable(L, static_cast<int>(layer.objects.size()), 0);
    for (size_t k = 0; k < layer.objects.size(); ++k) {
      pushObject(L, layer.objects[k], origin);
      setString(L, "layer", layer.name);
      lua_rawseti(L, -2, static_cast<int>(k + 1));
    }
    lua_setfield(L, -2, "objects");
  }
}

void pushTile(lua_State* L, const maps::Tileset& tileset, uint32_t local, const maps::TileInfo& info) {
  lua_createtable(L, 0, 8);
  setNumber(L, "gid", tileset.firstGid + local);
  setNumber(L, "id", local);
  setString(L, "tileset", tileset.name);
  setString(L, "type", info.type);
  setProperties(L, info.properties);
  // Shapes relative to the tile's centre.
  const maps::Rect* rect = local < tileset.rects.size() ? &tileset.rects[local] : nullptr;
  double width = rect ? rect->width : tileset.tileWidth, height = rect ? rect->height : tileset.tileHeight;
  Origin origin{width / 2, height / 2};
  lua_createtable(L, static_cast<int>(info.shapes.size()), 0);
  for (size_t k = 0; k < info.shapes.size(); ++k) {
    pushObject(L, info.shapes[k], origin);
    lua_rawseti(L, -2, static_cast<int>(k + 1));
  }
  lua_setfield(L, -2, "shapes");
  lua_createtable(L, static_cast<int>(info.animation.size()), 0);
  for (size_t k = 0; k < info.animation.size(); ++k) {
    lua_createtable(L, 0, 2);
    setNumber(L, "gid", tileset.firstGid + info.animation[k].tile);
    setNumber(L, "duration", info.animation[k].milliseconds);
    lua_rawseti(L, -2, static_cast<int>(k + 1));
  }
  lua_setfield(L, -2, "animation");
}

void pushTileset(lua_State* L, const maps::Tileset& tileset) {
  lua_createtable(L, 0, 12);
  setString(L, "name", tileset.name);
  setNumber(L, "firstGid", tileset.firstGid);
  setNumber(L, "tileCount", tileset.tileCount);
  setNumber(L, "tileWidth", tileset.tileWidth);
  setNumber(L, "tileHeight", tileset.tileHeight);
  setNumber(L, "columns", tileset.collection() ? 0 : tileset.columns);
  setNumber(L, "spacing", tileset.spacing);
  setNumber(L, "margin", tileset.margin);
  setString(L, "image", tileset.image);
  setProperties(L, tileset.properties);
}

void pushPlacedShape(lua_State* L, const maps::Map& map, const maps::PlacedTile& tile,
                     uint32_t gid, const maps::Object& shape) {
  lua_createtable(L, 0, 12);
  setString(L, "name", shape.name);
  setString(L, "type", shape.type);
  bool diagonal = (gid & maps::FLIP_DIAGONAL) != 0;
  // Ellipses and points keep their kind: centre and size.
  if (shape.shape == maps::Object::ELLIPSE || shape.shape == maps::Object::POINT) {
    maps::Point at = maps::onTile(map, tile, gid, turned(shape, shape.width / 2, shape.height / 2));
    setString(L, "shape", shapeName(shape.shape));
    setNumber(L, "x", at.x);
    setNumber(L, "y", at.y);
    setNumber(L, "width", diagonal ? shape.height : shape.width);
    setNumber(L, "height", diagonal ? shape.width : shape.height);
    setProperties(L, shape.properties);
    return;
  }
  std::vector<maps::Point> points;
  if (shape.shape == maps::Object::POLYGON || shape.shape == maps::Object::POLYLINE) {
    for (const maps::Point& point : shape.points) points.push_back(turned(shape, point.x, point.y));
  } else {
    for (const maps::Point& corner : {maps::Point{0, 0}, maps::Point{shape.width, 0},
                                      maps::Point{shape.width, shape.height},
                                      maps::Point{0, shape.height}})
      points.push_back(turned(shape, corner.x, corner.y));
  }
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (maps::Point& point : points) {
    point = maps::onTile(map, tile, gid, point);
    minX = std::min(minX, point.x);
    maxX = std::max(maxX, point.x);
    minY = std::min(minY, point.y);
    maxY = std::max(maxY, point.y);
  }
  bool box = shape.rotation == 0 && shape.shape != maps::Object::POLYGON &&
             shape.shape != maps::Object::POLYLINE;
  setString(L, "shape", box ? "rectangle" : shapeName(shape.shape));
  if (box) {
    setNumber(L, "x", (minX + maxX) / 2);
    setNumber(L, "y", (minY + maxY) / 2);
    setNumber(L, "width", maxX - minX);
    setNumber(L, "height", maxY - minY);
  }
  if (shape.shape != maps::Object::POLYLINE) counterClockwise(points);
  setPoints(L, points);
  setProperties(L, shape.properties);
}
}  // namespace

void pushMap(lua_State* L, const maps::Map& map) {
  lua_createtable(L, 0, 16);
  setString(L, "name", map.name);
  setString(L, "path", map.path);
  setString(L, "orientation", "orthogonal");
  setString(L, "type", map.type);
  setNumber(L, "width", map.width);
  setNumber(L, "height", map.height);
  setNumber(L, "tileWidth", map.tileWidth);
  setNumber(L, "tileHeight", map.tileHeight);
  setNumber(L, "pixelWidth", maps::pixelWidth(map));
  setNumber(L, "pixelHeight", maps::pixelHeight(map));
  setProperties(L, map.properties);

  int table = lua_gettop(L);
  lua_createtable(L, static_cast<int>(map.layers.size()), 0);  // layers
  lua_newtable(L);                                             // objects, every layer's
  int objects = 0;
  for (size_t k = 0; k < map.layers.size(); ++k) {
    pushLayer(L, map, map.layers[k]);
    luautils::pushField(L, -1, "objects");
    if (lua_istable(L, -1)) {
      for (int i = 1; i <= static_cast<int>(map.layers[k].objects.size()); ++i) {
        lua_rawgeti(L, -1, i);
        lua_rawseti(L, table + 2, ++objects);
      }
    }
    lua_pop(L, 1);
    lua_rawseti(L, table + 1, static_cast<int>(k + 1));
  }
  lua_setfield(L, table, "objects");
  lua_setfield(L, table, "layers");

  lua_createtable(L, static_cast<int>(map.tilesets.size()), 0);
  for (size_t k = 0; k < map.tilesets.size(); ++k) {
    pushTileset(L, map.tilesets[k]);
    lua_rawseti(L, -2, static_cast<int>(k + 1));
  }
  lua_setfield(L, -2, "tilesets");

  lua_newtable(L);
  for (const maps::Tileset& tileset : map.tilesets)
    for (const auto& entry : tileset.tiles) {
      pushTile(L, tileset, entry.first, entry.second);
      lua_rawseti(L, -2, static_cast<int>(tileset.firstGid + entry.first));
    }
  lua_setfield(L, -2, "tiles");
}

void pushTileShapes(lua_State* L, const maps::Map& map, const maps::Layer& layer) {
  lua_newtable(L);
  int count = 0;
  for (size_t cell = 0; cell < layer.cells.size(); ++cell) {
    uint32_t gid = layer.cells[cell];
    maps::PlacedTile tile = maps::placeTile(map, layer, cell);
    if (!tile.info || tile.info->shapes.empty()) continue;
    int column = static_cast<int>(cell % static_cast<size_t>(map.width));
    int row = static_cast<int>(cell / static_cast<size_t>(map.width));
    for (const maps::Object& shape : tile.info->shapes) {
      pushPlacedShape(L, map, tile, gid, shape);
      setNumber(L, "cellX", column);
      setNumber(L, "cellY", row);
      setTileFlags(L, gid);
      lua_rawseti(L, -2, ++count);
    }
  }
}
}  // namespace maptables
