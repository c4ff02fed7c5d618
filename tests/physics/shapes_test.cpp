// Shapes Box2D must not be given are refused with a reason; good ones are
// made as given (no quiet hull), and chains face the side asked for.
#include <gtest/gtest.h>

#include <box2d/box2d.h>

#include "physics/shapes.h"

using physics::ShapeKind;
using physics::ShapeSpec;

namespace {
const float METERS_PER_UNIT = 1.0f / 64;

ShapeSpec polygon(std::vector<b2Vec2> points) {
  ShapeSpec shape;
  shape.kind = ShapeKind::POLYGON;
  shape.points = points;
  return shape;
}

ShapeSpec chain(std::vector<b2Vec2> points, bool loop, const char* side) {
  ShapeSpec shape;
  shape.kind = ShapeKind::CHAIN;
  shape.points = points;
  shape.loop = loop;
  shape.side = side;
  return shape;
}

std::string check(const ShapeSpec& shape) { return physics::checkShape(shape, METERS_PER_UNIT); }
}  // namespace

TEST(PhysicsShapes, BadShapesAreRefusedWithAReason) {
  ShapeSpec box;
  box.width = 0;
  box.height = 10;
  EXPECT_NE(check(box), "");
  box.width = -3;
  EXPECT_NE(check(box), "");
  box.width = NAN;
  EXPECT_NE(check(box), "");
  ShapeSpec circle;
  circle.kind = ShapeKind::CIRCLE;
  circle.radius = -1;
  EXPECT_NE(check(circle), "");
  circle.radius = INFINITY;
  EXPECT_NE(check(circle), "");
  circle.radius = 8;
  circle.density = -1;
  EXPECT_NE(check(circle), "");

  // A dart (not convex), three corners in a line, a repeated corner, a
  // pentagram (every turn the same way, but wound twice), nine corners.
  EXPECT_NE(check(polygon({{0, 0}, {40, 0}, {10, 10}, {0, 40}})), "");
  EXPECT_NE(check(polygon({{0, 0}, {20, 0}, {40, 0}})), "");
  EXPECT_NE(check(polygon({{0, 0}, {40, 0}, {40, 0}, {0, 40}})), "");
  std::vector<b2Vec2> star;
  for (int k = 0; k < 5; ++k) {
    float angle = static_cast<float>(k) * 4 * b2_pi / 5;
    star.push_back(b2Vec2(50 * std::cos(angle), 50 * std::sin(angle)));
  }
  EXPECT_NE(check(polygon(star)), "");
  std::vector<b2Vec2> nine;
  for (int k = 0; k < 9; ++k) {
    float angle = static_cast<float>(k) * 2 * b2_pi / 9;
    nine.push_back(b2Vec2(50 * std::cos(angle), 50 * std::sin(angle)));
  }
  EXPECT_NE(check(polygon(nine)), "");
  nine.pop_back();
  EXPECT_EQ(check(polygon(nine)), "");

  ShapeSpec edge;
  edge.kind = ShapeKind::EDGE;
  edge.points = {{5, 5}, {5, 5}};
  EXPECT_NE(check(edge), "");
  EXPECT_NE(check(chain({{0, 0}, {0, 0}, {30, 0}}, false, "")), "");
  EXPECT_NE(check(chain({{0, 0}, {10, 0}, {20, 0}}, true, "")), "");  // a loop with no inside
  EXPECT_NE(check(chain({{0, 0}, {10, 0}}, false, "up")), "");
}

TEST(PhysicsShapes, CheckedPolygonsKeepEveryCornerInEitherWinding) {
  b2World world(b2Vec2(0, 0));
  b2BodyDef def;
  b2Body* body = world.CreateBody(&def);
  ShapeSpec clockwise = polygon({{0, 0}, {0, 40}, {30, 50}, {60, 40}, {60, 0}});
  ASSERT_EQ(check(clockwise), "");
  physics::addFixture(body, clockwise, METERS_PER_UNIT);
  const auto* made = static_cast<const b2PolygonShape*>(body->GetFixtureList()->GetShape());
  EXPECT_EQ(made->m_count, 5);
}

// Which way a chain is solid: a ball dropped onto it rests or falls through.
float dropOnto(const ShapeSpec& ground, b2Vec2 from) {
  b2World world(b2Vec2(0, -10));
  b2BodyDef groundDef;
  physics::addFixture(world.CreateBody(&groundDef), ground, 1);
  b2BodyDef ballDef;
  ballDef.type = b2_dynamicBody;
  ballDef.position = from;
  b2Body* ball = world.CreateBody(&ballDef);
  ShapeSpec circle;
  circle.kind = ShapeKind::CIRCLE;
  circle.radius = 0.5f;
  physics::addFixture(ball, circle, 1);
  for (int k = 0; k < 180; ++k) world.Step(1.0f / 60, 8, 3);
  return ball->GetPosition().y;
}

TEST(PhysicsShapes, ChainsAreSolidOnTheSideAsked) {
  // Drawn left to right: solid from above by default, from below with "right".
  std::vector<b2Vec2> floor = {{-10, 0}, {0, 0}, {10, 0}};
  EXPECT_NEAR(dropOnto(chain(floor, false, ""), {0, 2}), 0.5f, 0.05f);
  EXPECT_LT(dropOnto(chain(floor, false, "right"), {0, 2}), -1);
  // A loop is solid outside by default whichever way it is wound, and holds
  // things inside with "inside".
  std::vector<b2Vec2> square = {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}};
  std::vector<b2Vec2> reversed(square.rbegin(), square.rend());
  EXPECT_NEAR(dropOnto(chain(square, true, ""), {0, 8}), 5.5f, 0.05f);
  EXPECT_NEAR(dropOnto(chain(reversed, true, "outside"), {0, 8}), 5.5f, 0.05f);
  EXPECT_NEAR(dropOnto(chain(square, true, "inside"), {0, 2}), -4.5f, 0.05f);
  EXPECT_NEAR(dropOnto(chain(reversed, true, "inside"), {0, 2}), -4.5f, 0.05f);
}
