// Worlds and bodies coming and going.
#include "physics/worlds.h"

#include <cmath>

#include "core/angles.h"
#include "core/luautils.h"

namespace physics {
namespace {
std::vector<std::unique_ptr<World>> all;
lua_State* owner = nullptr;  // the interpreter the records' references belong to

// Joints go with their bodies inside Box2D: the script's numbers for them go
// here.
class JointsGone : public b2DestructionListener {
 public:
  explicit JointsGone(World& world) : world_(world) {}
  void SayGoodbye(b2Joint* joint) override {
    world_.joints.erase(static_cast<int>(joint->GetUserData().pointer));
  }
  void SayGoodbye(b2Fixture*) override {}

 private:
  World& world_;
};

void readSettings(lua_State* L, World& world) {
  getNumber<float>(L, "pixelsPerMeter", &world.pixelsPerMeter);
  if (!std::isfinite(world.pixelsPerMeter) || world.pixelsPerMeter <= 0) {
    warnOnceAlways(world.name, "pixelsPerMeter must be a number above 0; 64 is used");
    world.pixelsPerMeter = 64;
  }
  float step = 1.0f / 60;
  getNumber<float>(L, "timeStep", &step);
  if (std::isfinite(step) && step > 0 && step <= 1) world.timeStep = step;
  else warnOnceAlways(world.name, "timeStep lies above 0 and at most 1 second; 1/60 is used");
}
}  // namespace

std::vector<std::unique_ptr<World>>& worlds() { return all; }

World* findWorld(const void* node) {
  for (auto& world : all)
    if (world->node == node) return world.get();
  return nullptr;
}

Body* findBody(const void* node) {
  for (auto& world : all) {
    auto found = world->byNode.find(node);
    if (found != world->byNode.end()) return found->second;
  }
  return nullptr;
}

World& ensureWorld(lua_State* L, int index, const std::string& name) {
  if (owner != L) reset(nullptr);
  owner = L;
  index = luautils::absoluteIndex(L, index);
  if (World* found = findWorld(lua_topointer(L, index))) return *found;
  auto world = std::make_unique<World>();
  world->name = name;
  world->node = lua_topointer(L, index);
  lua_pushvalue(L, index);
  world->nodeRef = luaL_ref(L, LUA_REGISTRYINDEX);
  luautils::pushField(L, index, "physics");
  if (lua_istable(L, -1)) readSettings(L, *world);
  lua_pop(L, 1);
  world->b2 = std::make_unique<b2World>(b2Vec2(0, -9.8f));
  world->b2->SetContactListener(&world->contacts);
  world->destruction = std::make_unique<JointsGone>(*world);
  world->b2->SetDestructionListener(world->destruction.get());
  b2BodyDef ground;
  world->ground = world->b2->CreateBody(&ground);
  all.push_back(std::move(world));
  return *all.back();
}

void destroyWorld(lua_State* L, World& world) {
  // Box2D frees its bodies and joints with the world, without listeners.
  world.b2->SetContactListener(nullptr);
  world.b2->SetDestructionListener(nullptr);
  world.b2.reset();
  if (L) {
    for (auto& body : world.bodies) luaL_unref(L, LUA_REGISTRYINDEX, body->nodeRef);
    for (auto& body : world.graveyard) luaL_unref(L, LUA_REGISTRYINDEX, body->nodeRef);
    luaL_unref(L, LUA_REGISTRYINDEX, world.nodeRef);
    luaL_unref(L, LUA_REGISTRYINDEX, world.ancestorsRef);
  }
  for (auto it = all.begin(); it != all.end(); ++it)
    if (it->get() == &world) {
      all.erase(it);
      break;
    }
}

void reset(lua_State* L) {
  while (!all.empty()) destroyWorld(L, *all.back());
  owner = nullptr;
}

Body& makeBody(lua_State* L, World& world, int node, const std::string& name,
               const BodyDesc* desc, bool enabled) {
  node = luautils::absoluteIndex(L, node);
  auto record = std::make_unique<Body>();
  record->world = &world;
  record->name = name;
  record->node = lua_topointer(L, node);
  lua_pushvalue(L, node);
  record->nodeRef = luaL_ref(L, LUA_REGISTRYINDEX);
  lua_pushvalue(L, node);
  getNumber<float>(L, "x", &record->x);
  getNumber<float>(L, "y", &record->y);
  getNumber<float>(L, "rotation", &record->rotation);
  lua_pop(L, 1);
  if (!placeable(record->x, record->y, record->rotation)) {
    warnOnceAlways(name, "x, y and rotation must be finite numbers within 1e9; the body is left out");
    desc = nullptr;
  }
  record->enabled = enabled;
  if (desc) {
    b2BodyDef def;
    def.type = desc->type;
    def.position = world.toMeters(record->x, record->y);
    def.angle = angles::toRadians(record->rotation);
    def.linearVelocity = world.toMeters(desc->vx, desc->vy);
    def.angularVelocity = angles::toRadians(desc->angularVelocity);
    def.fixedRotation = desc->fixedRotation;
    def.bullet = desc->bullet;
    def.gravityScale = desc->gravityScale;
    def.linearDamping = desc->linearDamping;
    def.angularDamping = desc->angularDamping;
    def.enabled = enabled;
    def.userData.pointer = reinterpret_cast<uintptr_t>(record.get());
    record->body = world.b2->CreateBody(&def);
    for (const ShapeSpec& shape : desc->shapes)
      addFixture(record->body, shape, 1.0f / world.pixelsPerMeter);
  }
  Body& made = *record;
  world.byNode[made.node] = &made;
  world.bodies.push_back(std::move(record));
  return made;
}

void destroyBody(World& world, Body& body) {
  // Contacts that end here are still told to the other node.
  if (body.body) world.b2->DestroyBody(body.body);
  body.body = nullptr;
  world.byNode.erase(body.node);
  for (auto it = world.bodies.begin(); it != world.bodies.end(); ++it)
    if (it->get() == &body) {
      world.graveyard.push_back(std::move(*it));
      world.bodies.erase(it);
      break;
    }
}

}  // namespace physics
