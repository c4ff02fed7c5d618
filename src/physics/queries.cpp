// Ray casts and queries by box and by point. Box2D's tree answers with
// fattened boxes, so every candidate's shape is tested for real.
#include <algorithm>
#include <cmath>
#include <vector>

#include "physics/lookup.h"
#include "physics/worlds.h"

namespace bodies {
using physics::Body;
using physics::World;

namespace {
struct Hit {
  b2Fixture* fixture;
  b2Vec2 point, normal;
  float fraction;
};

class RayHits : public b2RayCastCallback {
 public:
  explicit RayHits(bool all) : all_(all) {}
  std::vector<Hit> hits;

  float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal,
                      float fraction) override {
    if (fixture->IsSensor() || !physics::recordOf(fixture->GetBody())) return -1;
    if (!all_) hits.clear();
    hits.push_back(Hit{fixture, point, normal, fraction});
    // The nearest: clip the ray here. All: go on to the end.
    return all_ ? 1 : fraction;
  }

 private:
  bool all_;
};

void pushNode(lua_State* L, b2Fixture* fixture) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, physics::recordOf(fixture->GetBody())->nodeRef);
}

void pushHit(lua_State* L, const World& world, const Hit& hit) {
  lua_createtable(L, 0, 6);
  pushNode(L, hit.fixture);
  lua_setfield(L, -2, "node");
  lua_pushnumber(L, world.toUnits(hit.point.x));
  lua_setfield(L, -2, "x");
  lua_pushnumber(L, world.toUnits(hit.point.y));
  lua_setfield(L, -2, "y");
  lua_pushnumber(L, hit.normal.x);
  lua_setfield(L, -2, "normalX");
  lua_pushnumber(L, hit.normal.y);
  lua_setfield(L, -2, "normalY");
  lua_pushnumber(L, hit.fraction);
  lua_setfield(L, -2, "fraction");
}

// The world, when the numbers are finite and the ray has a length.
World* rayWorld(Node node, double x1, double y1, double x2, double y2) {
  World* world = physics::worldOf(node);
  if (!world || !physics::finiteArguments(world->name, {x1, y1, x2, y2})) return nullptr;
  if (world->toMeters(x1, y1) == world->toMeters(x2, y2) ||
      b2DistanceSquared(world->toMeters(x1, y1), world->toMeters(x2, y2)) <= 0) {
    physics::warnOnceAlways(world->name, "a ray cast from a point to itself hits nothing");
    return nullptr;
  }
  return world;
}

std::vector<Hit> castRay(World& world, bool all, double x1, double y1, double x2, double y2) {
  RayHits hits(all);
  world.b2->RayCast(&hits, world.toMeters(x1, y1), world.toMeters(x2, y2));
  std::stable_sort(hits.hits.begin(), hits.hits.end(),
                   [](const Hit& a, const Hit& b) { return a.fraction < b.fraction; });
  return hits.hits;
}

// Candidates whose fattened box meets the box; `accept` tests the shape.
template <typename Test>
class Candidates : public b2QueryCallback {
 public:
  explicit Candidates(Test test) : test_(test) {}
  std::vector<const Body*> found;

  bool ReportFixture(b2Fixture* fixture) override {
    const Body* body = physics::recordOf(fixture->GetBody());
    if (body && test_(*fixture) && std::find(found.begin(), found.end(), body) == found.end())
      found.push_back(body);
    return true;
  }

 private:
  Test test_;
};

template <typename Test>
Results pushNodes(lua_State* L, World& world, const b2AABB& box, Test test) {
  Candidates<Test> candidates(test);
  world.b2->QueryAABB(&candidates, box);
  lua_createtable(L, static_cast<int>(candidates.found.size()), 0);
  int k = 0;
  for (const Body* body : candidates.found) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, body->nodeRef);
    lua_rawseti(L, -2, ++k);
  }
  return Results{1};
}
}  // namespace

Results rayCast(Node node, double x1, double y1, double x2, double y2) {
  World* world = rayWorld(node, x1, y1, x2, y2);
  std::vector<Hit> hits;
  if (world) hits = castRay(*world, false, x1, y1, x2, y2);
  if (hits.empty())
    lua_pushnil(node.L);
  else
    pushHit(node.L, *world, hits.front());
  return Results{1};
}

Results rayCastAll(Node node, double x1, double y1, double x2, double y2) {
  World* world = rayWorld(node, x1, y1, x2, y2);
  std::vector<Hit> hits;
  if (world) hits = castRay(*world, true, x1, y1, x2, y2);
  lua_createtable(node.L, static_cast<int>(hits.size()), 0);
  for (size_t k = 0; k < hits.size(); ++k) {
    pushHit(node.L, *world, hits[k]);
    lua_rawseti(node.L, -2, static_cast<int>(k + 1));
  }
  return Results{1};
}

Results queryBox(Node node, double x1, double y1, double x2, double y2) {
  World* world = physics::worldOf(node);
  if (!world || !physics::finiteArguments(world->name, {x1, y1, x2, y2}) ||
      world->toMeters(static_cast<float>(std::fabs(x2 - x1))) < b2_linearSlop ||
      world->toMeters(static_cast<float>(std::fabs(y2 - y1))) < b2_linearSlop) {
    if (world) physics::warnOnceAlways(world->name, "queryBox needs a box with finite corners and a size");
    lua_newtable(node.L);
    return Results{1};
  }
  b2AABB box;
  box.lowerBound = world->toMeters(std::min(x1, x2), std::min(y1, y2));
  box.upperBound = world->toMeters(std::max(x1, x2), std::max(y1, y2));
  b2PolygonShape shape;
  shape.SetAsBox(0.5f * (box.upperBound.x - box.lowerBound.x),
                 0.5f * (box.upperBound.y - box.lowerBound.y), box.GetCenter(), 0);
  b2Transform identity;
  identity.SetIdentity();
  auto overlaps = [&](const b2Fixture& fixture) {
    const b2Shape* own = fixture.GetShape();
    const b2Transform& at = fixture.GetBody()->GetTransform();
    for (int32 child = 0; child < own->GetChildCount(); ++child)
      if (b2TestOverlap(own, child, &shape, 0, at, identity)) return true;
    return false;
  };
  return pushNodes(node.L, *world, box, overlaps);
}

Results queryPoint(Node node, double x, double y) {
  World* world = physics::worldOf(node);
  if (!world || !physics::finiteArguments(world->name, {x, y})) {
    lua_newtable(node.L);
    return Results{1};
  }
  b2Vec2 point = world->toMeters(static_cast<float>(x), static_cast<float>(y));
  b2AABB box;
  box.lowerBound = point - b2Vec2(b2_linearSlop, b2_linearSlop);
  box.upperBound = point + b2Vec2(b2_linearSlop, b2_linearSlop);
  auto inside = [&](const b2Fixture& fixture) { return fixture.TestPoint(point); };
  return pushNodes(node.L, *world, box, inside);
}
}  // namespace bodies
