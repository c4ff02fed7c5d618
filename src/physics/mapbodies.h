// The static body of a tile map node that asks for one with `mapBodies`: the
// outlines of its solid tiles traced into one-sided loops (so nothing catches
// on the seams between tiles), its other tile collision shapes, and the shapes
// of an object layer.
#pragma once

#include <lua.hpp>

#include <string>
#include <vector>

#include "maps/map.h"
#include "physics/records.h"
#include "physics/shapes.h"

namespace physics {
// The node at `node` has a `mapBodies` field (its value aside).
bool wantsMapBody(lua_State* L, int node);
// Makes the body record of the map node at `node`: its body, or none when the
// map or its options are refused (one warning line says why).
Body& makeMapBody(lua_State* L, World& world, int node, const std::string& name, bool enabled);

// The outlines of the solid cells of a width × height grid (rows top first,
// as Tiled's), as loops of corners in cell units, x right and y up from the
// grid's lower-left corner, without corners in a line. A loop around solid
// cells goes counter-clockwise, one around a hole clockwise; cells touching
// only at a corner get loops of their own.
std::vector<std::vector<b2Vec2>> traceOutlines(const std::vector<bool>& solid, int width, int height);
}  // namespace physics
