// Shapes as the script describes them, checked before Box2D sees them:
// Debian's Box2D asserts on bad input (aborting the process) and quietly
// replaces a polygon that is not convex by its hull, so every case is refused
// here with a reason instead. Shapes from C++ (a tile map's collision
// outlines, physics/mapbodies.h) are checked here too.
#pragma once

#include <box2d/box2d.h>

#include <string>
#include <vector>

namespace physics {
enum class ShapeKind { BOX, CIRCLE, POLYGON, EDGE, CHAIN };

// Lengths in the world node's units, angles in degrees, positions relative to
// the body's node.
struct ShapeSpec {
  ShapeKind kind = ShapeKind::BOX;
  float width = 0, height = 0;  // box
  float radius = 0;             // circle
  float x = 0, y = 0;           // centre of a box or circle
  float angle = 0;              // a box's turn
  std::vector<b2Vec2> points;   // polygon, edge (two) and chain corners
  bool loop = false;            // a chain that closes on itself
  // The side a chain or edge collides on. A loop: "outside" (a solid block,
  // the default) or "inside" (a container). An open chain or an edge: "left"
  // (the default: a floor drawn from left to right is solid from above) or
  // "right" of the way from its first point to its last.
  std::string side;
  float density = 1, friction = 0.2f, restitution = 0;
  bool sensor = false;
  int category = 1, mask = 0xFFFF, group = 0;
};

// The largest length or offset a shape may have, in metres: beyond it a
// body's mass and inertia overflow a float (and Box2D asserts on them).
const float MAX_METERS = 1e5f;
const float MAX_DENSITY = 1e12f;

// The shape as the node's own scale (scaleX, scaleY) draws it: sizes and
// offsets scaled, mirrored by a negative factor. An unevenly scaled turned
// box becomes a polygon; a circle stays round, its radius scaled by
// sqrt(|scaleX · scaleY|).
void scaleShape(ShapeSpec& shape, float scaleX, float scaleY);

// Why Box2D must not be given the shape, or "" when it may. `metersPerUnit`
// is what the world converts with (sizes too small for Box2D are refused).
std::string checkShape(const ShapeSpec& shape, float metersPerUnit);

// Adds the checked shape to the body as one fixture. Corners of polygons and
// chains are put in the order Box2D needs for the side asked for.
void addFixture(b2Body* body, const ShapeSpec& shape, float metersPerUnit);
}  // namespace physics
