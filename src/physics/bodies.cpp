// The module's calls on one body.
#include <cmath>

#include "core/angles.h"
#include "physics/lookup.h"
#include "physics/nodepath.h"
#include "physics/worlds.h"

namespace physics {
namespace {
std::string nameOf(bodies::Node node) {
  lua_pushvalue(node.L, node.index);
  std::string name = nodeName(node.L, "a node");
  lua_pop(node.L, 1);
  return name;
}
}  // namespace

Body* bodyOf(bodies::Node node) {
  Body* body = findBody(lua_topointer(node.L, node.index));
  if (body && body->body) return body;
  warnOnceAlways(body ? body->name : nameOf(node),
                 body ? "its body was refused, so the call does nothing"
                      : "no body (bodies are made at the first step after their node appears "
                        "under a world node), so the call does nothing");
  return nullptr;
}

World* worldOf(bodies::Node node) {
  World* world = findWorld(lua_topointer(node.L, node.index));
  if (!world)
    warnOnceAlways(nameOf(node), "not a world node seen by the scene walk yet, so the call does nothing");
  return world;
}

bool finiteArguments(const std::string& who, std::initializer_list<double> numbers) {
  for (double number : numbers)
    if (!std::isfinite(number) || std::fabs(number) > MAX_COORDINATE) {
      warnOnceAlways(who, "a number passed to the bodies module is not finite (or beyond 1e9); the call does nothing");
      return false;
    }
  return true;
}
}  // namespace physics

namespace bodies {
using physics::Body;

namespace {

// The body, when it has one and the numbers are finite.
Body* checked(Node node, std::initializer_list<double> numbers) {
  Body* body = physics::bodyOf(node);
  if (body && !physics::finiteArguments(body->name, numbers)) return nullptr;
  return body;
}

b2Vec2 meters(const Body& body, double x, double y) {
  return body.world->toMeters(static_cast<float>(x), static_cast<float>(y));
}
}  // namespace

bool hasBody(Node node) {
  Body* body = physics::findBody(lua_topointer(node.L, node.index));
  return body && body->body;
}

void applyImpulse(Node node, double x, double y) {
  if (Body* body = checked(node, {x, y})) body->body->ApplyLinearImpulseToCenter(meters(*body, x, y), true);
}

void applyAngularImpulse(Node node, double impulse) {
  if (Body* body = checked(node, {impulse})) {
    float ppm = body->world->pixelsPerMeter;
    body->body->ApplyAngularImpulse(static_cast<float>(impulse) / (ppm * ppm), true);
  }
}

void applyForce(Node node, double x, double y) {
  if (Body* body = checked(node, {x, y})) body->body->ApplyForceToCenter(meters(*body, x, y), true);
}

void applyTorque(Node node, double torque) {
  if (Body* body = checked(node, {torque})) {
    float ppm = body->world->pixelsPerMeter;
    body->body->ApplyTorque(static_cast<float>(torque) / (ppm * ppm), true);
  }
}

void setVelocity(Node node, double x, double y) {
  if (Body* body = checked(node, {x, y})) body->body->SetLinearVelocity(meters(*body, x, y));
}

Results getVelocity(Node node) {
  Body* body = checked(node, {});
  b2Vec2 velocity = body ? body->world->toUnits(1) * body->body->GetLinearVelocity() : b2Vec2(0, 0);
  lua_pushnumber(node.L, velocity.x);
  lua_pushnumber(node.L, velocity.y);
  return Results{2};
}

void setAngularVelocity(Node node, double degreesPerSecond) {
  if (Body* body = checked(node, {degreesPerSecond}))
    body->body->SetAngularVelocity(angles::toRadians(static_cast<float>(degreesPerSecond)));
}

double getAngularVelocity(Node node) {
  Body* body = checked(node, {});
  return body ? angles::toDegrees(body->body->GetAngularVelocity()) : 0;
}

double getMass(Node node) {
  Body* body = checked(node, {});
  return body ? body->body->GetMass() : 0;
}

void teleport(Node node, double x, double y, double rotation) {
  Body* body = checked(node, {x, y, rotation});
  if (!body) return;
  body->body->SetTransform(meters(*body, x, y), angles::toRadians(static_cast<float>(rotation)));
  body->body->SetAwake(true);
  // The node says so at once; the next sync sees nothing to follow.
  body->x = static_cast<float>(x);
  body->y = static_cast<float>(y);
  body->rotation = static_cast<float>(rotation);
  lua_State* L = node.L;
  lua_pushvalue(L, node.index);
  for (auto [name, value] : {std::pair<const char*, float>{"x", body->x}, {"y", body->y},
                             {"rotation", body->rotation}}) {
    lua_pushstring(L, name);
    lua_pushnumber(L, value);
    lua_rawset(L, -3);
  }
  lua_pop(L, 1);
}
}  // namespace bodies
