// Reading `body` tables: the body's own fields, then its shapes, each shape's
// fixture fields defaulting to the body's.
#include "physics/bodytable.h"

#include <cmath>

#include "core/diagnostics.h"
#include "core/luautils.h"
#include "render/sheets.h"

namespace physics {
namespace {
// The fixture fields of the table on top over `shape`, keeping what it lacks.
void readFixture(lua_State* L, ShapeSpec& shape) {
  getNumber<float>(L, "density", &shape.density);
  getNumber<float>(L, "friction", &shape.friction);
  getNumber<float>(L, "restitution", &shape.restitution);
  getBool(L, "sensor", &shape.sensor);
  getNumber<int>(L, "category", &shape.category);
  getNumber<int>(L, "mask", &shape.mask);
  getNumber<int>(L, "group", &shape.group);
}

// The node's own size: its width and height, else its texture's.
bool nodeSize(lua_State* L, int node, float& width, float& height) {
  lua_pushvalue(L, node);
  float w = -1, h = -1;
  getNumber<float>(L, "width", &w);
  getNumber<float>(L, "height", &h);
  std::string texture;
  if ((w < 0 || h < 0) && getString(L, "texture", texture)) {
    TextureRef found;
    if (gr_findTexture(texture, &found)) {
      if (w < 0) w = static_cast<float>(found.width);
      if (h < 0) h = static_cast<float>(found.height);
    }
  }
  lua_pop(L, 1);
  if (w < 0 || h < 0) return false;
  width = w;
  height = h;
  return true;
}

// The shape fields of the table on top; `node` supplies a box's size.
std::string readShape(lua_State* L, int node, ShapeSpec& shape) {
  std::string kind = "box";
  getString(L, "shape", kind);
  if (kind == "box") shape.kind = ShapeKind::BOX;
  else if (kind == "circle") shape.kind = ShapeKind::CIRCLE;
  else if (kind == "polygon") shape.kind = ShapeKind::POLYGON;
  else if (kind == "edge") shape.kind = ShapeKind::EDGE;
  else if (kind == "chain") shape.kind = ShapeKind::CHAIN;
  else return "unknown shape \"" + kind + "\" (box, circle, polygon, edge or chain)";
  getNumber<float>(L, "x", &shape.x);
  getNumber<float>(L, "y", &shape.y);
  getNumber<float>(L, "angle", &shape.angle);
  getNumber<float>(L, "radius", &shape.radius);
  getBool(L, "loop", &shape.loop);
  getString(L, "side", shape.side);
  if (shape.kind == ShapeKind::BOX) {
    shape.width = shape.height = -1;
    getNumber<float>(L, "width", &shape.width);
    getNumber<float>(L, "height", &shape.height);
    if ((shape.width < 0 || shape.height < 0)) {
      float w = 0, h = 0;
      if (!nodeSize(L, node, w, h)) {
        if (shape.width < 0 && shape.height < 0)
          return "a box needs a width and height (or a texture on its node)";
      }
      if (shape.width < 0) shape.width = w;
      if (shape.height < 0) shape.height = h;
    }
  }
  std::vector<float> numbers;
  if (getNumbers(L, "points", numbers)) {
    if (numbers.size() % 2) return "points has an odd count of numbers (x, y pairs)";
    for (size_t k = 0; k + 1 < numbers.size(); k += 2)
      shape.points.push_back(b2Vec2(numbers[k], numbers[k + 1]));
  }
  readFixture(L, shape);
  return "";
}

std::string readType(lua_State* L, b2BodyType& type) {
  std::string name = "dynamic";
  getString(L, "type", name);
  if (name == "dynamic") type = b2_dynamicBody;
  else if (name == "static") type = b2_staticBody;
  else if (name == "kinematic") type = b2_kinematicBody;
  else return "unknown body type \"" + name + "\" (dynamic, static or kinematic)";
  return "";
}
}  // namespace

std::string readBody(lua_State* L, int node, int body, float metersPerUnit, BodyDesc& desc) {
  // The node's own scale sizes its shapes, as it sizes its picture.
  float scale = 1, scaleX, scaleY;
  lua_pushvalue(L, node);
  getNumber<float>(L, "scale", &scale);
  scaleX = scaleY = scale;
  getNumber<float>(L, "scaleX", &scaleX);
  getNumber<float>(L, "scaleY", &scaleY);
  lua_pop(L, 1);
  lua_pushvalue(L, body);
  std::string why = readType(L, desc.type);
  getBool(L, "fixedRotation", &desc.fixedRotation);
  getBool(L, "bullet", &desc.bullet);
  getNumber<float>(L, "gravityScale", &desc.gravityScale);
  getNumber<float>(L, "linearDamping", &desc.linearDamping);
  getNumber<float>(L, "angularDamping", &desc.angularDamping);
  getNumber<float>(L, "vx", &desc.vx);
  getNumber<float>(L, "vy", &desc.vy);
  getNumber<float>(L, "angularVelocity", &desc.angularVelocity);
  for (float value : {desc.gravityScale, desc.linearDamping, desc.angularDamping, desc.vx,
                      desc.vy, desc.angularVelocity})
    if (why.empty() && !std::isfinite(value)) why = "a number is not finite (NaN or infinite)";
  if (why.empty() && (desc.linearDamping < 0 || desc.angularDamping < 0))
    why = "damping must not be negative";
  ShapeSpec defaults;
  readFixture(L, defaults);
  luautils::pushResolvedField(L, -1, "shapes");
  if (why.empty() && lua_istable(L, -1)) {
    int count = static_cast<int>(lua_objlen(L, -1));
    for (int k = 1; k <= count && why.empty(); ++k) {
      lua_rawgeti(L, -1, k);
      ShapeSpec shape = defaults;
      why = lua_istable(L, -1) ? readShape(L, node, shape) : "shapes holds something not a table";
      lua_pop(L, 1);
      scaleShape(shape, scaleX, scaleY);
      if (why.empty()) why = checkShape(shape, metersPerUnit);
      if (why.empty()) desc.shapes.push_back(shape);
    }
    if (why.empty() && desc.shapes.empty()) why = "shapes is empty";
  } else if (why.empty()) {
    // The body table describes its one shape itself.
    lua_pop(L, 1);
    ShapeSpec shape = defaults;
    why = readShape(L, node, shape);
    scaleShape(shape, scaleX, scaleY);
    if (why.empty()) why = checkShape(shape, metersPerUnit);
    if (why.empty()) desc.shapes.push_back(shape);
    lua_pushnil(L);
  }
  lua_pop(L, 2);
  return why;
}

bool placeable(float x, float y, float rotation) {
  for (float value : {x, y, rotation})
    if (!std::isfinite(value) || std::fabs(value) > 1e9f) return false;
  return true;
}

void warnOnceAlways(const std::string& node, const std::string& what) {
  std::string line = "physics: " + node + ": " + what + "\n";
  diagnostics::warnOnceAlways(line, "%s", line.c_str());
}
}  // namespace physics
