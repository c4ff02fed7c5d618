// Static bodies from a tile map: solid tiles' outlines, other tile shapes and
// an object layer's shapes, in the map node's units.
#include "physics/mapbodies.h"

#include <cmath>
#include <functional>

#include "core/angles.h"
#include "core/luautils.h"
#include "maps/loader.h"
#include "maps/placement.h"
#include "maps/units.h"
#include "physics/bodytable.h"
#include "physics/worlds.h"

namespace physics {
namespace {
// Corners of an ellipse that is not a circle (a polygon's most).
const int ELLIPSE_CORNERS = b2_maxPolygonVertices;

// Map pixels of the object's frame to node units.
using Place = std::function<maps::Point(maps::Point)>;

struct Options {
  bool allTiles = false;  // every tile layer
  std::string tiles;      // or this one
  std::string objects;
  float friction = 0.2f, restitution = 0;
};

// Why the `mapBodies` table on top cannot be used, or "".
std::string readOptions(lua_State* L, Options& options) {
  if (!lua_istable(L, -1)) return "mapBodies must be a table such as { tiles = true, objects = \"collision\" }";
  luautils::pushField(L, -1, "tiles");
  int type = lua_type(L, -1);
  options.allTiles = type == LUA_TBOOLEAN && lua_toboolean(L, -1);
  if (type == LUA_TSTRING) options.tiles = lua_tostring(L, -1);
  lua_pop(L, 1);
  if (type != LUA_TNIL && type != LUA_TBOOLEAN && type != LUA_TSTRING)
    return "mapBodies.tiles is true or a tile layer's name";
  luautils::pushField(L, -1, "objects");
  type = lua_type(L, -1);
  if (type == LUA_TSTRING) options.objects = lua_tostring(L, -1);
  lua_pop(L, 1);
  if (type != LUA_TNIL && type != LUA_TSTRING) return "mapBodies.objects is an object layer's name";
  getNumber<float>(L, "friction", &options.friction);
  getNumber<float>(L, "restitution", &options.restitution);
  return "";
}

// The shapes of a Tiled object (a tile's collision shape or an object of an
// object layer); points, texts and tile objects have none.
void objectShapes(const maps::Object& object, const Place& place, std::vector<ShapeSpec>& out) {
  auto at = [&](double dx, double dy) {
    maps::Point point = place(maps::turned(object, dx, dy));
    return b2Vec2(static_cast<float>(point.x), static_cast<float>(point.y));
  };
  ShapeSpec shape;
  double w = object.width, h = object.height;
  switch (object.shape) {
    case maps::Object::RECTANGLE:
      shape.kind = ShapeKind::POLYGON;
      shape.points = {at(0, 0), at(w, 0), at(w, h), at(0, h)};
      break;
    case maps::Object::ELLIPSE:
      if (w == h) {
        shape.kind = ShapeKind::CIRCLE;
        b2Vec2 centre = at(w / 2, h / 2);
        shape.x = centre.x;
        shape.y = centre.y;
        shape.radius = static_cast<float>(w / 2);
        break;
      }
      shape.kind = ShapeKind::POLYGON;
      for (int k = 0; k < ELLIPSE_CORNERS; ++k) {
        double angle = 2 * angles::PI * k / ELLIPSE_CORNERS;
        shape.points.push_back(at(w / 2 * (1 + std::cos(angle)), h / 2 * (1 + std::sin(angle))));
      }
      break;
    case maps::Object::POLYGON:
    case maps::Object::POLYLINE:
      shape.kind = object.shape == maps::Object::POLYGON ? ShapeKind::POLYGON : ShapeKind::CHAIN;
      for (const maps::Point& point : object.points) shape.points.push_back(at(point.x, point.y));
      break;
    default:
      return;
  }
  out.push_back(shape);
}

// A tile whose one collision shape fills its cell: it joins the outlines.
bool fillsCell(const maps::Map& map, const maps::PlacedTile& tile) {
  if (!tile.info || tile.info->shapes.size() != 1) return false;
  const maps::Object& box = tile.info->shapes[0];
  return box.shape == maps::Object::RECTANGLE && box.rotation == 0 && box.x == 0 && box.y == 0 &&
         box.width == map.tileWidth && box.height == map.tileHeight && tile.width == map.tileWidth &&
         tile.height == map.tileHeight && tile.tileset->offsetX == 0 && tile.tileset->offsetY == 0;
}

void tileLayerShapes(const maps::Map& map, const maps::Layer& layer, std::vector<ShapeSpec>& out) {
  std::vector<bool> solid(layer.cells.size(), false);
  for (size_t cell = 0; cell < layer.cells.size(); ++cell) {
    maps::PlacedTile tile = maps::placeTile(map, layer, cell);
    if (!tile.info) continue;
    if (fillsCell(map, tile)) {
      solid[cell] = true;
      continue;
    }
    uint32_t gid = layer.cells[cell];
    Place place = [&](maps::Point point) { return maps::onTile(map, tile, gid, point); };
    for (const maps::Object& shape : tile.info->shapes) objectShapes(shape, place, out);
  }
  for (const std::vector<b2Vec2>& loop : traceOutlines(solid, map.width, map.height)) {
    ShapeSpec chain;
    chain.kind = ShapeKind::CHAIN;
    chain.loop = true;
    double area = 0;
    for (size_t k = 0; k < loop.size(); ++k) {
      const b2Vec2& a = loop[k];
      const b2Vec2& b = loop[(k + 1) % loop.size()];
      area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    // Around solid cells bodies stay outside; around a hole, inside.
    chain.side = area > 0 ? "outside" : "inside";
    // Corners count cells from the bottom left, y up.
    for (const b2Vec2& corner : loop) {
      maps::Point at = maps::toNode(map, corner.x * map.tileWidth + layer.offsetX,
                                    (map.height - corner.y) * map.tileHeight + layer.offsetY);
      chain.points.push_back(b2Vec2(static_cast<float>(at.x), static_cast<float>(at.y)));
    }
    out.push_back(chain);
  }
}

void objectLayerShapes(const maps::Map& map, const maps::Layer& layer, std::vector<ShapeSpec>& out) {
  Place place = [&](maps::Point point) {
    return maps::toNode(map, point.x + layer.offsetX, point.y + layer.offsetY);
  };
  for (const maps::Object& object : layer.objects) objectShapes(object, place, out);
}

// The shapes the options ask for, or why they cannot be had.
std::string mapShapes(const maps::Map& map, const Options& options, std::vector<ShapeSpec>& out) {
  bool tileLayerFound = false;
  for (const maps::Layer& layer : map.layers)
    if (layer.kind == maps::Layer::TILES && (options.allTiles || layer.name == options.tiles)) {
      tileLayerFound = true;
      tileLayerShapes(map, layer, out);
    }
  if (!options.tiles.empty() && !tileLayerFound)
    return "the map has no tile layer \"" + options.tiles + "\"";
  if (!options.objects.empty()) {
    int index = map.findLayer(options.objects);
    if (index < 0 || map.layers[index].kind != maps::Layer::OBJECTS)
      return "the map has no object layer \"" + options.objects + "\"";
    objectLayerShapes(map, map.layers[index], out);
  }
  return "";
}
}  // namespace

std::vector<std::vector<b2Vec2>> traceOutlines(const std::vector<bool>& solid, int width, int height) {
  // Directions 0 to 3: +x, +y, -x, -y; a left turn adds one.
  const int DX[4] = {1, 0, -1, 0}, DY[4] = {0, 1, 0, -1};
  auto at = [&](int x, int y) {  // y up
    return x >= 0 && y >= 0 && x < width && y < height &&
           solid[static_cast<size_t>(height - 1 - y) * width + x];
  };
  // The boundary's edges, solid on their left, as bits of their start corner.
  size_t stride = static_cast<size_t>(width) + 1;
  auto index = [stride](int x, int y) { return static_cast<size_t>(y) * stride + static_cast<size_t>(x); };
  std::vector<unsigned char> out(stride * (static_cast<size_t>(height) + 1), 0);
  auto edge = [&](int x, int y, int direction) { out[index(x, y)] |= static_cast<unsigned char>(1 << direction); };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!at(x, y)) continue;
      if (!at(x, y - 1)) edge(x, y, 0);
      if (!at(x + 1, y)) edge(x + 1, y, 1);
      if (!at(x, y + 1)) edge(x + 1, y + 1, 2);
      if (!at(x - 1, y)) edge(x, y + 1, 3);
    }
  // Each edge leads on to one edge, so following them from an unused one
  // comes back to it.
  std::vector<unsigned char> used(out.size(), 0);
  std::vector<std::vector<b2Vec2>> loops;
  for (size_t start = 0; start < out.size(); ++start)
    for (int first = 0; first < 4; ++first) {
      if (!(out[start] & (1 << first)) || (used[start] & (1 << first))) continue;
      int x = static_cast<int>(start % stride), y = static_cast<int>(start / stride);
      int direction = first;
      std::vector<b2Vec2> loop;
      while (true) {
        used[index(x, y)] |= static_cast<unsigned char>(1 << direction);
        x += DX[direction];
        y += DY[direction];
        // Where two cells meet at a corner only, turning left keeps each
        // cell's outline apart.
        int next = -1;
        for (int turn : {1, 0, 3})
          if (out[index(x, y)] & (1 << ((direction + turn) % 4))) {
            next = (direction + turn) % 4;
            break;
          }
        if (next < 0) break;  // cannot happen: every corner has as many edges in as out
        if (next != direction) loop.push_back(b2Vec2(static_cast<float>(x), static_cast<float>(y)));
        if (used[index(x, y)] & (1 << next)) break;
        direction = next;
      }
      loops.push_back(loop);
    }
  return loops;
}

bool wantsMapBody(lua_State* L, int node) {
  luautils::pushField(L, node, "mapBodies");
  bool wanted = !lua_isnil(L, -1);
  lua_pop(L, 1);
  return wanted;
}

Body& makeMapBody(lua_State* L, World& world, int node, const std::string& name, bool enabled) {
  node = luautils::absoluteIndex(L, node);
  Options options;
  std::vector<ShapeSpec> shapes;
  std::string why;
  luautils::pushField(L, node, "mapBodies");
  why = readOptions(L, options);
  lua_pop(L, 1);
  luautils::pushField(L, node, "tilemap");
  std::string mapName = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : "";
  lua_pop(L, 1);
  // A map that does not load has said so itself.
  const maps::Map* map = nullptr;
  if (why.empty() && mapName.empty()) why = "mapBodies needs the node's tilemap";
  if (why.empty() && !(map = maps::get(mapName))) why = "the map did not load";
  if (why.empty()) why = mapShapes(*map, options, shapes);
  if (!why.empty()) {
    warnOnceAlways(name, why + "; the map's body is left out");
    return makeBody(L, world, node, name, nullptr, enabled);
  }
  // A bad shape is left out alone; one line tells the first and the count.
  BodyDesc desc;
  desc.type = b2_staticBody;
  size_t refused = 0;
  std::string first;
  for (ShapeSpec& shape : shapes) {
    shape.friction = options.friction;
    shape.restitution = options.restitution;
    std::string reason = checkShape(shape, 1.0f / world.pixelsPerMeter);
    if (reason.empty())
      desc.shapes.push_back(shape);
    else if (refused++ == 0)
      first = reason;
  }
  if (refused)
    warnOnceAlways(name, "map \"" + mapName + "\": " + std::to_string(refused) +
                       " collision shape(s) left out, the first because " + first);
  else if (shapes.empty())
    warnOnceAlways(name, "map \"" + mapName + "\": mapBodies finds no collision shapes; the map has no body");
  return makeBody(L, world, node, name, desc.shapes.empty() ? nullptr : &desc, enabled);
}
}  // namespace physics
