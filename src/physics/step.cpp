// Syncing bodies with their nodes, stepping, writing back.
#include "physics/step.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "core/angles.h"
#include "core/luautils.h"
#include "core/nodefields.h"
#include "physics/contacts.h"
#include "physics/mapbodies.h"
#include "physics/nodepath.h"
#include "physics/reach.h"
#include "physics/scenepass.h"
#include "physics/worlds.h"

namespace physics {
namespace {
// Read at every body every frame: numbered once.
const nodefields::Key X("x"), Y("y"), ROTATION("rotation"), SCALE("scale"), SCALE_X("scaleX"),
    SCALE_Y("scaleY"), ENABLED("enabled"), BODY("body");

// The place of the node on top as its fields say; false when one is not
// finite. The node's snapshot is looked for once for the three.
bool readPlace(lua_State* L, float& x, float& y, float& rotation) {
  const nodefields::Snapshot* node = nodefields::visiting(L);
  getNumber<float>(L, node, X, &x);
  getNumber<float>(L, node, Y, &y);
  getNumber<float>(L, node, ROTATION, &rotation);
  return placeable(x, y, rotation);
}

// Whether the table on top moves, turns or scales what lies below it.
bool transforms(lua_State* L) {
  float x = 0, y = 0, rotation = 0, scale = 1, scaleX = 1, scaleY = 1;
  getNumber<float>(L, X, &x);
  getNumber<float>(L, Y, &y);
  getNumber<float>(L, ROTATION, &rotation);
  getNumber<float>(L, SCALE, &scale);
  scaleX = scaleY = scale;
  getNumber<float>(L, SCALE_X, &scaleX);
  getNumber<float>(L, SCALE_Y, &scaleY);
  return x != 0 || y != 0 || rotation != 0 || scaleX != 1 || scaleY != 1;
}

// One sync: the walk over the world node's subtree, the walk's root. Each
// node's fields are read in one pass when the walk enters it (`taken`).
struct Sync {
  World& world;
  const nodefields::Snapshot* taken = nullptr;
  // Kinematic bodies the script moved, with where they go.
  struct Target {
    Body* body;
    b2Vec2 position;
    float angle;
  };
  std::vector<Target> targets;

  // The address of the node's `body` table as the snapshot knows it (null
  // when the node has none); false when the field must be read.
  bool recordedBodyTable(const void*& table) const {
    if (!taken || !taken->valid || !taken->known(BODY.field)) return false;
    const nodefields::Value* value = taken->find(BODY.field);
    table = value && value->type == LUA_TTABLE ? value->table : nullptr;
    return true;
  }

  void visit(lua_State* L) {
    luautils::StackCheck balanced(L, 0, "the physics sync");
    const std::vector<luautils::PathStep>& path = luautils::ancestors();
    if (path.size() < 2) return;  // the world node
    int node = path.back().node;
    Body* record = nullptr;
    auto found = world.byNode.find(lua_topointer(L, node));
    if (found != world.byNode.end()) record = found->second;
    // The field read stays on the stack (at node + 1) until the body is made:
    // script code run meanwhile may change the node.
    const void* bodyTable = nullptr;
    bool pushed = !recordedBodyTable(bodyTable);
    if (pushed) {
      luautils::pushField(L, node, BODY.name);
      bodyTable = lua_istable(L, -1) ? lua_topointer(L, -1) : nullptr;
    }
    if (record && record->bodyTable && record->bodyTable != bodyTable) {
      // A new body table (or none): the body is made again from it.
      destroyBody(world, *record);
      record = nullptr;
    }
    if (!record && bodyTable && !pushed) {
      luautils::pushField(L, node, BODY.name);
      pushed = true;
    }
    // A map node's body comes from its map, once.
    bool fromMap = !record && !bodyTable && wantsMapBody(L, node);
    if (!record && !bodyTable && !fromMap) {
      if (pushed) lua_pop(L, 1);
      return;
    }
    bool enabled = true, moved = false;
    for (size_t k = 1; k < path.size(); ++k) {
      lua_pushvalue(L, path[k].node);
      bool on = true;
      getBool(L, nodefields::visiting(L), ENABLED, &on);
      enabled = enabled && on;
      if (k + 1 < path.size() && transforms(L)) moved = true;
      lua_pop(L, 1);
    }
    if (!record) {
      std::string name = nodePath(L, path, world.name);
      if (fromMap) {
        record = &makeMapBody(L, world, node, name, enabled);
      } else {
        BodyDesc desc;
        std::string why = readBody(L, node, node + 1, 1.0f / world.pixelsPerMeter, desc);
        if (!why.empty()) warnOnceAlways(name, why + "; the body is left out");
        record = &makeBody(L, world, node, name, why.empty() ? &desc : nullptr, enabled);
        record->bodyTable = bodyTable;
      }
    }
    if (pushed) lua_pop(L, 1);
    record->mark = world.sync;
    if (moved && !record->warnedParent) {
      record->warnedParent = true;
      warnOnceAlways(record->name,
                     "a node above the body (below the world node) moves, turns or scales; bodies "
                     "live in the world node's space, so the body is simulated there");
    }
    if (!record->body) return;
    follow(L, *record, enabled);
  }

  // The body takes what the script changed: enabled, and its place.
  void follow(lua_State* L, Body& record, bool enabled) {
    b2Body* body = record.body;
    if (enabled != record.enabled) {
      record.enabled = enabled;
      body->SetEnabled(enabled);
    }
    float x = record.x, y = record.y, rotation = record.rotation;
    if (!readPlace(L, x, y, rotation)) {
      warnOnceAlways(record.name, "x, y and rotation must be finite numbers within 1e9; the body stays put");
      return;
    }
    if (x == record.x && y == record.y && rotation == record.rotation) return;
    b2Vec2 position = world.toMeters(x, y);
    float angle = angles::toRadians(rotation);
    if (body->GetType() == b2_kinematicBody) {
      targets.push_back(Target{&record, position, angle});
      return;
    }
    body->SetTransform(position, angle);
    body->SetAwake(true);
    record.x = x;
    record.y = y;
    record.rotation = rotation;
  }
};

void readWorldSettings(lua_State* L, World& world) {
  luautils::pushField(L, -1, "physics");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  world.debugDraw = false;
  getBool(L, "debugDraw", &world.debugDraw);
  world.paused = false;
  getBool(L, "paused", &world.paused);
  float gravity[2] = {0, -9.8f * world.pixelsPerMeter};
  luautils::pushResolvedField(L, -1, "gravity");
  if (lua_istable(L, -1)) {
    for (int k = 0; k < 2; ++k) {
      lua_rawgeti(L, -1, k + 1);
      if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        luautils::pushField(L, -1, k ? "y" : "x");
      }
      if (lua_isnumber(L, -1)) gravity[k] = static_cast<float>(lua_tonumber(L, -1));
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 2);
  if (!placeable(gravity[0], gravity[1], 0)) {
    warnOnceAlways(world.name, "gravity must be finite numbers within 1e9; the old gravity stays");
    return;
  }
  world.b2->SetGravity(world.toMeters(gravity[0], gravity[1]));
}

// Destroys the bodies the sync did not reach, in the order they were made.
void sweep(World& world) {
  size_t kept = 0;
  for (size_t k = 0; k < world.bodies.size(); ++k) {
    std::unique_ptr<Body>& body = world.bodies[k];
    if (body->mark == world.sync) {
      if (kept != k) world.bodies[kept] = std::move(body);
      ++kept;
      continue;
    }
    if (body->body) world.b2->DestroyBody(body->body);
    body->body = nullptr;
    world.byNode.erase(body->node);
    world.graveyard.push_back(std::move(body));
  }
  world.bodies.resize(kept);
}

// Field names on the stack, pushed once for every body's writes.
enum Written { WRITTEN_X = 1, WRITTEN_Y, WRITTEN_ROTATION };

void writeNumber(lua_State* L, int names, Written name, float value) {
  lua_pushvalue(L, names + name);
  lua_pushnumber(L, value);
  lua_rawset(L, -3);
}

void writeBack(lua_State* L, World& world) {
  int names = lua_gettop(L);
  lua_pushliteral(L, "x");
  lua_pushliteral(L, "y");
  lua_pushliteral(L, "rotation");
  bool reshaped = false;
  for (auto& record : world.bodies) {
    b2Body* body = record->body;
    if (!body || body->GetType() == b2_staticBody || !body->IsAwake() || !body->IsEnabled())
      continue;
    float x = world.toUnits(body->GetPosition().x), y = world.toUnits(body->GetPosition().y);
    float rotation = angles::toDegrees(body->GetAngle());
    if (!placeable(x, y, rotation)) {
      // Contradicting joints or huge forces blew the body up: it goes back
      // to where its node is, at rest, instead of NaN reaching the scene.
      warnOnceAlways(record->name, "the simulation blew the body up (joints or forces that "
                                   "cannot all hold?); it is put back where its node was, at rest");
      body->SetTransform(world.toMeters(record->x, record->y), angles::toRadians(record->rotation));
      body->SetLinearVelocity(b2Vec2(0, 0));
      body->SetAngularVelocity(0);
      continue;
    }
    if (x == record->x && y == record->y && rotation == record->rotation) continue;
    lua_rawgeti(L, LUA_REGISTRYINDEX, record->nodeRef);
    writeNumber(L, names, WRITTEN_X, x);
    writeNumber(L, names, WRITTEN_Y, y);
    writeNumber(L, names, WRITTEN_ROTATION, rotation);
    lua_pop(L, 1);
    record->x = x;
    record->y = y;
    record->rotation = rotation;
    reshaped = reshaped || !record->written || record->holdsOthers;
    record->written = true;
  }
  lua_pop(L, 3);
  // A first write may add fields, and a node with cameras at or below it
  // moves them: what the walk remembers of the scene must be read again.
  // Other writes only change numbers the walk reads afresh.
  if (reshaped) nodefields::invalidate();
}

// Finds the bodies' nodes under the world node on top and sweeps the bodies
// whose nodes are gone; false when script code ran meanwhile.
bool syncBodies(lua_State* L, World& world, Sync& sync) {
  unsigned long long before = nodefields::changes();
  // The walk would find every body's node where the write-back put it:
  // nothing to make, destroy, enable, follow or sweep.
  if (world.settled == before) return true;
  ++world.sync;
  {
    nodefields::WalkScope scope(L);
    luautils::TreeWalk walk;
    walk.name = "the physics sync";
    walk.stackSlots = 8;
    walk.accept = [&sync](lua_State* state) {
      sync.taken = lua_checkstack(state, 3) ? &nodefields::take(state) : nullptr;
      if (luautils::ancestors().size() == 1) return true;
      // A world inside a world is a world of its own.
      luautils::pushField(state, -1, "physics");
      bool nested = lua_istable(state, -1);
      lua_pop(state, 1);
      return !nested;
    };
    walk.visit = [&sync](lua_State* state) { sync.visit(state); };
    // A node whose snapshot still holds has no children unless it saw some.
    walk.childless = [&sync](lua_State*) {
      return sync.taken && sync.taken->valid && !sync.taken->hasChildren;
    };
    luautils::walkTree(L, walk);
  }
  sweep(world);
  return nodefields::changes() == before;
}

void stepWorld(lua_State* L, World& world, double seconds) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, world.nodeRef);
  readWorldSettings(L, world);
  Sync sync{world, nullptr, {}};
  // Script code run by the sync (a body table's functions) may have changed
  // nodes it had passed: then the next step walks again.
  bool quiet = syncBodies(L, world, sync);

  // A paused world gathers no time either, so it does not rush on after.
  if (std::isfinite(seconds) && seconds > 0 && !world.paused) world.accumulated += seconds;
  int steps = static_cast<int>(world.accumulated / world.timeStep);
  if (steps > MAX_STEPS_PER_FRAME) {
    steps = MAX_STEPS_PER_FRAME;
    world.accumulated = steps * static_cast<double>(world.timeStep);
  }
  world.accumulated -= steps * static_cast<double>(world.timeStep);
  if (steps > 0) {
    // A kinematic body moved by the script goes there over the steps at the
    // velocity that takes it there, so it carries what it touches.
    float span = static_cast<float>(steps) * world.timeStep;
    for (const Sync::Target& target : sync.targets) {
      b2Body* body = target.body->body;
      body->SetLinearVelocity((1 / span) * (target.position - body->GetPosition()));
      body->SetAngularVelocity((target.angle - body->GetAngle()) / span);
    }
    for (int k = 0; k < steps; ++k) {
      world.b2->Step(world.timeStep, world.velocityIterations, world.positionIterations);
      world.contacts.stepDone();
    }
    for (const Sync::Target& target : sync.targets) {
      b2Body* body = target.body->body;
      body->SetTransform(target.position, target.angle);
      body->SetLinearVelocity(b2Vec2(0, 0));
      body->SetAngularVelocity(0);
      target.body->x = world.toUnits(target.position.x);
      target.body->y = world.toUnits(target.position.y);
      target.body->rotation = angles::toDegrees(target.angle);
    }
  }
  writeBack(L, world);
  world.settled = quiet ? nodefields::changes() : World::NOT_SETTLED;
  lua_pop(L, 1);
  deliver(L, world);
  for (auto& body : world.graveyard) luaL_unref(L, LUA_REGISTRYINDEX, body->nodeRef);
  world.graveyard.clear();
}

// Worlds the last walk did not visit: a disabled world node pauses its world,
// a world node gone from the scene takes its world with it.
void sweepWorlds(lua_State* L, unsigned walk) {
  std::unordered_set<const void*> missing;
  for (auto& world : worlds())
    if (world->reached != walk) missing.insert(world->node);
  if (missing.empty()) return;
  std::unordered_set<const void*> present;
  luautils::TreeWalk search;
  search.name = "the physics world search";
  search.visit = [&](lua_State* state) {
    const void* node = lua_topointer(state, -1);
    if (missing.count(node)) present.insert(node);
  };
  luautils::walkTree(L, search);
  std::vector<World*> gone;
  for (auto& world : worlds())
    if (missing.count(world->node) && !present.count(world->node)) gone.push_back(world.get());
  for (World* world : gone) destroyWorld(L, *world);
}
}  // namespace

void step(lua_State* L, double seconds) {
  unsigned walk = walkNumber();
  sweepWorlds(L, walk);
  // Handlers may replace worlds; they go at the next frame.
  std::vector<World*> current;
  for (auto& world : worlds())
    if (world->reached == walk && stillEnabled(L, *world)) current.push_back(world.get());
  for (World* world : current) stepWorld(L, *world, seconds);
}
}  // namespace physics
