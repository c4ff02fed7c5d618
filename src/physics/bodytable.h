// A node's `body` table read into plain records, and the warnings that refuse
// bad physics input: one line naming the node, once per run.
#pragma once

#include <box2d/box2d.h>
#include <lua.hpp>

#include <string>
#include <vector>

#include "physics/shapes.h"

namespace physics {
struct BodyDesc {
  b2BodyType type = b2_dynamicBody;
  bool fixedRotation = false;
  bool bullet = false;
  float gravityScale = 1;
  float linearDamping = 0, angularDamping = 0;
  float vx = 0, vy = 0, angularVelocity = 0;  // units / s and degrees / s at the start
  std::vector<ShapeSpec> shapes;
};

// Reads the body table at `body` of the node at `node` (absolute indices).
// Returns "" or why the body is refused; every shape is checked here.
std::string readBody(lua_State* L, int node, int body, float metersPerUnit, BodyDesc& desc);

// Whether a node's x, y and rotation can place a body: finite and within
// 1e9 (beyond, Box2D's float arithmetic overflows into its asserts).
bool placeable(float x, float y, float rotation);

// "physics: NODE: WHAT" with a line break, logged the first time only, in
// every mode (diagnostics::warnOnceAlways).
void warnOnceAlways(const std::string& node, const std::string& what);
}  // namespace physics
