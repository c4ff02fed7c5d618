// The physics records of the run: one World per world node (a node with a
// `physics` table), holding its b2World, a Body per node with a body, and the
// joints the script made. Plain records; worlds.cpp keeps the registry.
//
// A node is known by its table's address while a registry reference holds the
// table alive, so the address cannot be reused for another table meanwhile.
#pragma once

#include <box2d/box2d.h>
#include <lua.hpp>

#include <glm/glm.hpp>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "physics/contacts.h"

namespace physics {
struct World;

struct Body {
  World* world = nullptr;
  b2Body* body = nullptr;         // null for a body that was refused
  int nodeRef = LUA_NOREF;        // keeps the node table alive
  const void* node = nullptr;
  const void* bodyTable = nullptr;  // the `body` table it was made from; null for shapes from C++
  std::string name;               // the node's path or name, for warnings
  unsigned mark = 0;              // the last sync that reached the node
  bool enabled = true;
  bool warnedParent = false;
  bool written = false;       // its fields were written at least once
  // The node has children or a camera (as the last walk saw it): moving it
  // moves what the walk's memory of cameras depends on.
  bool holdsOthers = true;
  // The node has onCollision or onCollisionEnd (as the last walk saw it):
  // contacts between bodies without handlers are not written down.
  bool listens = true;
  // The node's transform fields as last written or followed, in node units
  // and degrees: a field that differs was set by the script.
  float x = 0, y = 0, rotation = 0;
};

struct World {
  std::unique_ptr<b2World> b2;
  int nodeRef = LUA_NOREF;
  const void* node = nullptr;
  std::string name;               // the world node's path
  float pixelsPerMeter = 64;
  float timeStep = 1.0f / 60;
  double accumulated = 0;
  int velocityIterations = 8;
  int positionIterations = 3;
  bool debugDraw = false;
  bool paused = false;            // physics.paused: no steps, all else goes on
  unsigned reached = 0;           // the last scene walk that visited the node
  int ancestorsRef = LUA_NOREF;   // the tables above the node in that walk (reach.h)
  int ancestorCount = 0;
  unsigned sync = 0;              // sync count, for the bodies' marks
  // nodefields::changes() after the last write-back, or NOT_SETTLED: while
  // it holds, no script code has run and no field was added since, so the
  // nodes are as the write-back left them.
  unsigned long long settled = NOT_SETTLED;
  static const unsigned long long NOT_SETTLED = ~0ull;
  glm::mat4 transform{1.0f};      // the world node's matrix in the last walk
  std::vector<int> cameras;       // lists of the cameras that saw it there
  b2Body* ground = nullptr;       // fixture-less anchor of mouse joints
  // Bodies in the order they were made, so that sweeps and steps go in the
  // same order in every run.
  std::vector<std::unique_ptr<Body>> bodies;
  std::unordered_map<const void*, Body*> byNode;
  std::map<int, b2Joint*> joints;  // by the number the script holds
  ContactLog contacts;
  std::unique_ptr<b2DestructionListener> destruction;
  // Bodies destroyed this frame, kept until the contact events that name
  // them are delivered.
  std::vector<std::unique_ptr<Body>> graveyard;

  float toMeters(float units) const { return units / pixelsPerMeter; }
  b2Vec2 toMeters(float x, float y) const { return b2Vec2(x / pixelsPerMeter, y / pixelsPerMeter); }
  float toUnits(float meters) const { return meters * pixelsPerMeter; }
};

// The body record of a b2Body (null for the ground body).
inline Body* recordOf(b2Body* body) {
  return reinterpret_cast<Body*>(body->GetUserData().pointer);
}
}  // namespace physics
