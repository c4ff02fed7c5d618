// Recording contacts during the step and handing them to the script after it.
#include "physics/contacts.h"

#include <algorithm>

#include "core/luautils.h"
#include "core/scriptcall.h"
#include "physics/records.h"

namespace physics {
namespace {
// The contact's two bodies, when either node has a handler to tell.
bool bodiesOf(b2Contact* contact, Body*& a, Body*& b) {
  a = recordOf(contact->GetFixtureA()->GetBody());
  b = recordOf(contact->GetFixtureB()->GetBody());
  return a && b && (a->listens || b->listens);
}

void pushContact(lua_State* L, const World& world, const ContactEvent& event, bool flip) {
  lua_createtable(L, 0, 6);
  lua_pushboolean(L, event.sensor);
  lua_setfield(L, -2, "sensor");
  if (event.sensor) return;
  float sign = flip ? -1.0f : 1.0f;
  lua_pushnumber(L, sign * event.normal.x);
  lua_setfield(L, -2, "normalX");
  lua_pushnumber(L, sign * event.normal.y);
  lua_setfield(L, -2, "normalY");
  lua_pushnumber(L, world.toUnits(event.point.x));
  lua_setfield(L, -2, "x");
  lua_pushnumber(L, world.toUnits(event.point.y));
  lua_setfield(L, -2, "y");
  // Impulses in kg · units / s, like the ones the module applies.
  lua_pushnumber(L, world.toUnits(event.impulse));
  lua_setfield(L, -2, "impulse");
}

// Calls node.NAME(node, other[, contact]) when the node has such a function.
void callHandler(lua_State* L, const World& world, const ContactEvent& event, bool flip) {
  const Body* self = flip ? event.b : event.a;
  const Body* other = flip ? event.a : event.b;
  const char* name = event.begin ? "onCollision" : "onCollisionEnd";
  luautils::StackCheck balanced(L, 0, "a collision handler's call");
  lua_rawgeti(L, LUA_REGISTRYINDEX, self->nodeRef);
  luautils::pushField(L, -1, name);
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 2);
    return;
  }
  lua_insert(L, -2);
  lua_rawgeti(L, LUA_REGISTRYINDEX, other->nodeRef);
  if (event.begin) pushContact(L, world, event, flip);
  script::call(L, event.begin ? 3 : 2, 0, name);
}
}  // namespace

void ContactLog::BeginContact(b2Contact* contact) {
  ContactEvent event;
  if (!bodiesOf(contact, event.a, event.b)) return;
  event.sensor = contact->GetFixtureA()->IsSensor() || contact->GetFixtureB()->IsSensor();
  if (!event.sensor) {
    b2WorldManifold manifold;
    contact->GetWorldManifold(&manifold);
    int points = std::min(contact->GetManifold()->pointCount, 2);
    event.normal = manifold.normal;
    for (int k = 0; k < points; ++k) event.point += manifold.points[k];
    if (points > 0) event.point *= 1.0f / static_cast<float>(points);
    awaitingImpulse_[contact] = events.size();
  }
  events.push_back(event);
}

void ContactLog::EndContact(b2Contact* contact) {
  ContactEvent event;
  event.begin = false;
  if (!bodiesOf(contact, event.a, event.b)) return;
  event.sensor = contact->GetFixtureA()->IsSensor() || contact->GetFixtureB()->IsSensor();
  awaitingImpulse_.erase(contact);
  events.push_back(event);
}

void ContactLog::PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) {
  if (awaitingImpulse_.empty()) return;
  auto found = awaitingImpulse_.find(contact);
  if (found == awaitingImpulse_.end()) return;
  float largest = 0;
  for (int k = 0; k < impulse->count; ++k) largest = std::max(largest, impulse->normalImpulses[k]);
  events[found->second].impulse = largest;
  awaitingImpulse_.erase(found);
}

void deliver(lua_State* L, World& world) {
  // Handlers may make contacts of their own only at the next step, so the
  // log cannot grow while it is read; it is swapped out all the same.
  std::vector<ContactEvent> events;
  events.swap(world.contacts.events);
  for (const ContactEvent& event : events) {
    callHandler(L, world, event, false);
    callHandler(L, world, event, true);
  }
  events.clear();
  if (world.contacts.events.empty()) world.contacts.events.swap(events);  // keep the storage
}
}  // namespace physics
