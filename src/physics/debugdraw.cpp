// Outlining shapes, joints and contacts.
#include "physics/debugdraw.h"

#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <vector>

namespace physics {
namespace {
const float LINE_WIDTH = 1.5f;  // world node units
const int CIRCLE_SEGMENTS = 20;
const float MARK_SIZE = 4;      // half a contact cross, world node units

enum Colour { AWAKE, ASLEEP, STATIC, KINEMATIC, SENSOR, DISABLED, JOINT, CONTACT, COLOURS };
const float RGBA[COLOURS][4] = {
    {0.3f, 1.0f, 0.3f, 1}, {0.5f, 0.65f, 0.5f, 1}, {0.4f, 0.6f, 1.0f, 1}, {1.0f, 0.6f, 0.2f, 1},
    {1.0f, 1.0f, 0.2f, 1}, {0.45f, 0.45f, 0.45f, 1}, {0.9f, 0.3f, 0.9f, 1}, {1.0f, 0.2f, 0.2f, 1}};

// Segments in world node units, by colour.
struct Lines {
  std::vector<b2Vec2> segments[COLOURS];
  float scale;  // units per metre

  void add(Colour colour, b2Vec2 a, b2Vec2 b) {
    segments[colour].push_back(scale * a);
    segments[colour].push_back(scale * b);
  }
  void cross(Colour colour, b2Vec2 at) {
    b2Vec2 p = scale * at;
    segments[colour].push_back(p + b2Vec2(-MARK_SIZE, -MARK_SIZE));
    segments[colour].push_back(p + b2Vec2(MARK_SIZE, MARK_SIZE));
    segments[colour].push_back(p + b2Vec2(-MARK_SIZE, MARK_SIZE));
    segments[colour].push_back(p + b2Vec2(MARK_SIZE, -MARK_SIZE));
  }
};

Colour colourOf(const b2Fixture& fixture) {
  const b2Body& body = *fixture.GetBody();
  if (!body.IsEnabled()) return DISABLED;
  if (fixture.IsSensor()) return SENSOR;
  switch (body.GetType()) {
    case b2_staticBody: return STATIC;
    case b2_kinematicBody: return KINEMATIC;
    default: return body.IsAwake() ? AWAKE : ASLEEP;
  }
}

void outline(const b2Fixture& fixture, Lines& lines) {
  const b2Transform& at = fixture.GetBody()->GetTransform();
  Colour colour = colourOf(fixture);
  const b2Shape& shape = *fixture.GetShape();
  switch (shape.GetType()) {
    case b2Shape::e_circle: {
      const auto& circle = static_cast<const b2CircleShape&>(shape);
      b2Vec2 centre = b2Mul(at, circle.m_p);
      b2Vec2 previous = centre + b2Vec2(circle.m_radius, 0);
      for (int k = 1; k <= CIRCLE_SEGMENTS; ++k) {
        float angle = 2 * b2_pi * static_cast<float>(k) / CIRCLE_SEGMENTS;
        b2Vec2 next = centre + circle.m_radius * b2Vec2(std::cos(angle), std::sin(angle));
        lines.add(colour, previous, next);
        previous = next;
      }
      // A radius shows the turn.
      lines.add(colour, centre, centre + circle.m_radius * at.q.GetXAxis());
      break;
    }
    case b2Shape::e_polygon: {
      const auto& polygon = static_cast<const b2PolygonShape&>(shape);
      for (int k = 0; k < polygon.m_count; ++k)
        lines.add(colour, b2Mul(at, polygon.m_vertices[k]),
                  b2Mul(at, polygon.m_vertices[(k + 1) % polygon.m_count]));
      break;
    }
    case b2Shape::e_edge: {
      const auto& edge = static_cast<const b2EdgeShape&>(shape);
      lines.add(colour, b2Mul(at, edge.m_vertex1), b2Mul(at, edge.m_vertex2));
      break;
    }
    case b2Shape::e_chain: {
      const auto& chain = static_cast<const b2ChainShape&>(shape);
      for (int k = 0; k + 1 < chain.m_count; ++k)
        lines.add(colour, b2Mul(at, chain.m_vertices[k]), b2Mul(at, chain.m_vertices[k + 1]));
      break;
    }
    default:
      break;
  }
}

// Each segment as a quad LINE_WIDTH wide.
void addBatch(Colour colour, const std::vector<b2Vec2>& segments, const World& world,
              const glm::mat4& projection, const std::string& target, BatchList& list) {
  if (segments.empty()) return;
  size_t quads = segments.size() / 2;
  GLfloat* out = list.vertices(quads * 6 * 3);
  Batch& batch = list.add();
  batch.data = out;
  batch.triangles = static_cast<int>(quads * 2);
  for (size_t k = 0; k < quads; ++k) {
    b2Vec2 a = segments[2 * k], b = segments[2 * k + 1];
    b2Vec2 along = b - a;
    float length = along.Normalize();
    b2Vec2 side = length > 0 ? b2Vec2(-along.y, along.x) : b2Vec2(0, 1);
    side *= LINE_WIDTH / 2;
    const b2Vec2 corners[6] = {a - side, b - side, b + side, a - side, b + side, a + side};
    for (const b2Vec2& corner : corners) {
      *out++ = corner.x;
      *out++ = corner.y;
      *out++ = 0;
    }
  }
  batch.program = gr_getProgram("p", "p");
  batch.attributes.set("in_position", {3, 0});
  batch.uniforms.set("transform", glm::value_ptr(world.transform), sizeof world.transform);
  batch.uniforms.set("projection", glm::value_ptr(projection), sizeof projection);
  batch.uniforms.set("color", RGBA[colour], sizeof RGBA[colour]);
  batch.targetName = target;
  batch.enableBlending = true;
}
}  // namespace

void drawWorld(const World& world, const glm::mat4& projection, const std::string& target,
               BatchList& list) {
  Lines lines;
  lines.scale = world.pixelsPerMeter;
  const b2World& physics = *world.b2;
  for (const b2Body* body = physics.GetBodyList(); body; body = body->GetNext())
    for (const b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext())
      outline(*fixture, lines);
  for (const b2Joint* joint = physics.GetJointList(); joint; joint = joint->GetNext()) {
    b2Joint& changeable = const_cast<b2Joint&>(*joint);  // Box2D's getters are not const
    lines.add(JOINT, changeable.GetAnchorA(), changeable.GetAnchorB());
    lines.cross(JOINT, changeable.GetAnchorA());
  }
  for (const b2Contact* contact = physics.GetContactList(); contact; contact = contact->GetNext()) {
    if (!contact->IsTouching()) continue;
    b2WorldManifold manifold;
    contact->GetWorldManifold(&manifold);
    for (int k = 0; k < contact->GetManifold()->pointCount; ++k)
      lines.cross(CONTACT, manifold.points[k]);
  }
  for (int colour = 0; colour < COLOURS; ++colour)
    addBatch(static_cast<Colour>(colour), lines.segments[colour], world, projection, target, list);
}
}  // namespace physics
