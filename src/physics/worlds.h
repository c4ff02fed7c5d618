// The registry of physics worlds and the lifetime of their bodies.
//
// A world is made when the scene walk first visits its node and destroyed at
// the first step after a walk that found its node nowhere (a disabled world
// node is still found: it only pauses). A body is made at the first step
// that finds its node under the world node, and destroyed at the first step
// that does not; a body under a disabled node is disabled, not destroyed.
#pragma once

#include <lua.hpp>

#include <string>
#include <vector>

#include "physics/records.h"
#include "physics/bodytable.h"

namespace physics {
// Every world of the interpreter, in the order their nodes were first met.
std::vector<std::unique_ptr<World>>& worlds();
// The world of the world node with this address, or null.
World* findWorld(const void* node);
// The body record of the node with this address in any world, or null.
Body* findBody(const void* node);
// The world of the world node at `index`, made from its `physics` table the
// first time. `name` names the node in warnings.
World& ensureWorld(lua_State* L, int index, const std::string& name);
// Destroys the world with its bodies and joints; the record goes too.
void destroyWorld(lua_State* L, World& world);
// Forgets every world of the interpreter; without Lua calls when L is null
// (the interpreter is gone).
void reset(lua_State* L);

// Makes the record of the node at `node` and, unless `desc` is null (the body
// was refused), its body, at the node's x, y and rotation. `enabled` as the
// node's subtree says.
Body& makeBody(lua_State* L, World& world, int node, const std::string& name,
               const BodyDesc* desc, bool enabled);
// Destroys the body; its record waits in the graveyard for the frame's
// contact events.
void destroyBody(World& world, Body& body);
}  // namespace physics
