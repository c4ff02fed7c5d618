// Contacts reach the script after the step, never from inside Box2D: the
// listener only writes down what began and ended, and deliver() calls the
// nodes' onCollision(node, other, contact) and onCollisionEnd(node, other)
// once the world has stopped stepping, so a handler may remove nodes, make
// joints or move bodies.
#pragma once

#include <box2d/box2d.h>
#include <lua.hpp>

#include <unordered_map>
#include <vector>

namespace physics {
struct Body;
struct World;

struct ContactEvent {
  bool begin = true;
  Body* a = nullptr;
  Body* b = nullptr;
  bool sensor = false;       // a sensor has no point, normal or impulse
  b2Vec2 normal{0, 0};       // from a to b
  b2Vec2 point{0, 0};        // metres, world node space
  float impulse = 0;         // the largest normal impulse of the first solve
};

class ContactLog : public b2ContactListener {
 public:
  std::vector<ContactEvent> events;

  void BeginContact(b2Contact* contact) override;
  void EndContact(b2Contact* contact) override;
  void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;
  // Begun contacts whose first impulse is still to come: cleared per step.
  void stepDone() { awaitingImpulse_.clear(); }

 private:
  std::unordered_map<const b2Contact*, size_t> awaitingImpulse_;
};

// Calls the handlers of the world's events in the order they happened and
// empties the log. The world node's units are used for points and impulses.
void deliver(lua_State* L, World& world);
}  // namespace physics
