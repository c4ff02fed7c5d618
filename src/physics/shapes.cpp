// Checking shapes against everything Box2D asserts on, and making fixtures.
#include "physics/shapes.h"

#include "core/angles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace physics {
namespace {
std::string format(const char* pattern, double value) {
  char text[160];
  snprintf(text, sizeof text, pattern, value);
  return text;
}

bool finite(float value) { return std::isfinite(value); }

// Twice the signed area: positive when the corners go counter-clockwise.
double signedArea2(const std::vector<b2Vec2>& points) {
  double sum = 0;
  for (size_t k = 0; k < points.size(); ++k) {
    const b2Vec2& p = points[k];
    const b2Vec2& q = points[(k + 1) % points.size()];
    sum += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
  }
  return sum;
}

std::vector<b2Vec2> scaled(const std::vector<b2Vec2>& points, float factor) {
  std::vector<b2Vec2> out;
  out.reserve(points.size());
  for (const b2Vec2& p : points) out.push_back(factor * p);
  return out;
}

// A polygon Box2D keeps as given: counter-clockwise, every other corner
// strictly to the left of each side (so no corner is inside, on a side or in
// a line with its neighbours), corners apart by more than Box2D welds.
std::string checkPolygon(std::vector<b2Vec2> points) {
  if (points.size() < 3) return "a polygon needs at least 3 corners";
  if (points.size() > static_cast<size_t>(b2_maxPolygonVertices))
    return format("a polygon has at most %.0f corners (split it into several shapes)",
                  b2_maxPolygonVertices);
  const float weld = 0.5f * b2_linearSlop;
  for (size_t i = 0; i < points.size(); ++i)
    for (size_t j = i + 1; j < points.size(); ++j)
      if (b2DistanceSquared(points[i], points[j]) <= weld * weld)
        return "two corners of the polygon (almost) coincide";
  double area2 = signedArea2(points);
  if (std::fabs(area2) <= 2 * b2_linearSlop * b2_linearSlop) return "the polygon has no area";
  if (area2 < 0) std::reverse(points.begin(), points.end());
  for (size_t k = 0; k < points.size(); ++k) {
    b2Vec2 a = points[k], edge = points[(k + 1) % points.size()] - a;
    float length = edge.Length();
    for (size_t j = 0; j < points.size(); ++j) {
      if (j == k || j == (k + 1) % points.size()) continue;
      // The distance to the left of the side, in metres.
      if (b2Cross(edge, points[j] - a) / length <= 0.1f * b2_linearSlop)
        return "the polygon is not convex (or has corners in a line)";
    }
  }
  return "";
}

std::string checkChain(const ShapeSpec& shape, const std::vector<b2Vec2>& points) {
  size_t least = shape.loop ? 3 : 2;
  if (points.size() < least)
    return format(shape.loop ? "a loop needs at least %.0f points" : "a chain needs at least %.0f points",
                  static_cast<double>(least));
  size_t sides = shape.loop ? points.size() : points.size() - 1;
  for (size_t k = 0; k < sides; ++k)
    if (b2DistanceSquared(points[k], points[(k + 1) % points.size()]) <=
        b2_linearSlop * b2_linearSlop)
      return "two neighbouring points of the chain (almost) coincide";
  if (shape.loop) {
    if (!shape.side.empty() && shape.side != "outside" && shape.side != "inside")
      return "a loop's side is \"outside\" or \"inside\"";
    if (std::fabs(signedArea2(points)) <= 2 * b2_linearSlop * b2_linearSlop)
      return "the loop encloses no area, so it has no inside or outside";
  } else if (!shape.side.empty() && shape.side != "left" && shape.side != "right") {
    return "a chain's side is \"left\" or \"right\"";
  }
  return "";
}

// Box2D's one-sided chains collide on the right of the way from one point to
// the next; the corners are turned around when the side asked for is the
// other one.
std::vector<b2Vec2> chainOrder(const ShapeSpec& shape, std::vector<b2Vec2> points) {
  bool reverse;
  if (shape.loop)
    reverse = (signedArea2(points) > 0) != (shape.side != "inside");
  else
    reverse = shape.side != "right";
  if (reverse) std::reverse(points.begin(), points.end());
  return points;
}
}  // namespace

void scaleShape(ShapeSpec& shape, float scaleX, float scaleY) {
  if (scaleX == 1 && scaleY == 1) return;
  float sx = std::fabs(scaleX), sy = std::fabs(scaleY);
  bool mirrored = (scaleX < 0) != (scaleY < 0);
  if (shape.kind == ShapeKind::BOX && shape.angle != 0 && sx != sy) {
    // Its corners, turned, then scaled as any polygon's.
    float angle = angles::toRadians(shape.angle), c = std::cos(angle), s = std::sin(angle);
    float w = shape.width / 2, h = shape.height / 2;
    shape.kind = ShapeKind::POLYGON;
    shape.points.clear();
    for (b2Vec2 corner : {b2Vec2(-w, -h), b2Vec2(w, -h), b2Vec2(w, h), b2Vec2(-w, h)})
      shape.points.push_back(b2Vec2(shape.x + corner.x * c - corner.y * s,
                                    shape.y + corner.x * s + corner.y * c));
  }
  shape.x *= scaleX;
  shape.y *= scaleY;
  shape.width *= sx;
  shape.height *= sy;
  shape.radius *= std::sqrt(sx * sy);
  if (mirrored) shape.angle = -shape.angle;
  for (b2Vec2& point : shape.points) point.Set(point.x * scaleX, point.y * scaleY);
  // A mirrored open chain goes the other way, so that its solid side stays
  // the one its picture shows.
  if (mirrored && !shape.loop) std::reverse(shape.points.begin(), shape.points.end());
}

std::string checkShape(const ShapeSpec& shape, float metersPerUnit) {
  for (float value : {shape.width, shape.height, shape.radius, shape.x, shape.y, shape.angle,
                      shape.density, shape.friction, shape.restitution})
    if (!finite(value)) return "a number is not finite (NaN or infinite)";
  for (const b2Vec2& p : shape.points)
    if (!finite(p.x) || !finite(p.y)) return "a point is not finite (NaN or infinite)";
  if (shape.density < 0 || shape.friction < 0 || shape.restitution < 0)
    return "density, friction and restitution must not be negative";
  if (shape.density > MAX_DENSITY) return "the density is too large";
  for (float value : {shape.width, shape.height, shape.radius, shape.x, shape.y})
    if (std::fabs(value * metersPerUnit) > MAX_METERS) return "the shape is too large";
  for (const b2Vec2& p : shape.points)
    if (std::fabs(p.x * metersPerUnit) > MAX_METERS || std::fabs(p.y * metersPerUnit) > MAX_METERS)
      return "the shape is too large";
  if (shape.category < 0 || shape.category > 0xFFFF || shape.mask < 0 || shape.mask > 0xFFFF)
    return "category and mask are 16-bit numbers (0 to 65535)";
  if (shape.group < -32768 || shape.group > 32767)
    return "group lies between -32768 and 32767";
  std::vector<b2Vec2> points = scaled(shape.points, metersPerUnit);
  switch (shape.kind) {
    case ShapeKind::BOX:
      if (shape.width <= 0 || shape.height <= 0) return "a box needs a width and height above 0";
      if (std::min(shape.width, shape.height) * metersPerUnit < b2_linearSlop)
        return "the box is too small for pixelsPerMeter";
      return "";
    case ShapeKind::CIRCLE:
      if (shape.radius <= 0) return "a circle needs a radius above 0";
      if (shape.radius * metersPerUnit < 0.5f * b2_linearSlop)
        return "the circle is too small for pixelsPerMeter";
      return "";
    case ShapeKind::POLYGON:
      return checkPolygon(points);
    case ShapeKind::EDGE:
      if (points.size() != 2) return "an edge has exactly 2 points";
      if (b2DistanceSquared(points[0], points[1]) <= b2_linearSlop * b2_linearSlop)
        return "the edge has no length";
      return "";
    case ShapeKind::CHAIN:
      return checkChain(shape, points);
  }
  return "unknown shape";
}

void addFixture(b2Body* body, const ShapeSpec& shape, float metersPerUnit) {
  b2FixtureDef def;
  def.density = shape.density;
  def.friction = shape.friction;
  def.restitution = shape.restitution;
  def.isSensor = shape.sensor;
  def.filter.categoryBits = static_cast<uint16>(shape.category);
  def.filter.maskBits = static_cast<uint16>(shape.mask);
  def.filter.groupIndex = static_cast<int16>(shape.group);
  std::vector<b2Vec2> points = scaled(shape.points, metersPerUnit);
  b2Vec2 centre(shape.x * metersPerUnit, shape.y * metersPerUnit);
  b2PolygonShape polygon;
  b2CircleShape circle;
  b2EdgeShape edge;
  b2ChainShape chain;
  switch (shape.kind) {
    case ShapeKind::BOX:
      polygon.SetAsBox(shape.width * metersPerUnit / 2, shape.height * metersPerUnit / 2, centre,
                       angles::toRadians(shape.angle));
      def.shape = &polygon;
      break;
    case ShapeKind::CIRCLE:
      circle.m_radius = shape.radius * metersPerUnit;
      circle.m_p = centre;
      def.shape = &circle;
      break;
    case ShapeKind::POLYGON:
      polygon.Set(points.data(), static_cast<int32>(points.size()));
      def.shape = &polygon;
      break;
    case ShapeKind::EDGE:
      edge.SetTwoSided(points[0], points[1]);
      def.shape = &edge;
      break;
    case ShapeKind::CHAIN: {
      points = chainOrder(shape, points);
      int32 count = static_cast<int32>(points.size());
      if (shape.loop) {
        chain.CreateLoop(points.data(), count);
      } else {
        // Ghost points straight on from each end: no neighbour to smooth to.
        b2Vec2 before = points[0] + (points[0] - points[1]);
        b2Vec2 after = points[count - 1] + (points[count - 1] - points[count - 2]);
        chain.CreateChain(points.data(), count, before, after);
      }
      def.shape = &chain;
      break;
    }
  }
  body->CreateFixture(&def);
}
}  // namespace physics
