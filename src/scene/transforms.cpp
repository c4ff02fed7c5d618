// Node world matrices and camera projections: the transform pass, the reading of
// a node's transform fields and a camera's extents. The scene walk and `find`
// keep the chain of tables from the root down at every second stack position
// (root, key, child, key, grandchild, ...); parents are found there.
#include "scene/transforms.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/log.h"
#include "core/runstate.h"

namespace transforms {
namespace {
const char* const TRANSFORM_FIELD = "__transform";
const glm::vec3 X_AXIS(1, 0, 0);
const glm::vec3 Y_AXIS(0, 1, 0);
const glm::vec3 Z_AXIS(0, 0, 1);

// A node's own placement, angles in radians.
struct Placement {
  glm::vec3 position{0.0f};
  glm::vec3 scale{1.0f};
  float rotationX = 0;
  float rotationY = 0;
  float rotationZ = 0;
};

// Degrees to radians: the division in float, the product with pi in double.
float toRadians(float degrees) {
  return static_cast<float>(static_cast<double>(degrees / 180.0f) * angles::PI);
}

const nodefields::Key X("x"), Y("y"), Z("z"), SCALE("scale"), SCALE_X("scaleX"),
    SCALE_Y("scaleY"), SCALE_Z("scaleZ"), ROTATION("rotation"), ROTATION_X("rotationX"),
    ROTATION_Y("rotationY"), ROTATION_Z("rotationZ"), TRANSFORM(TRANSFORM_FIELD);

// The transform fields of the table on top, with their defaults; `node` is
// its snapshot, or null.
Placement readPlacement(lua_State* L, const nodefields::Snapshot* node) {
  Placement p;
  getNumber<float>(L, node, X, &p.position.x);
  getNumber<float>(L, node, Y, &p.position.y);
  getNumber<float>(L, node, Z, &p.position.z);
  float scale = 1;
  getNumber<float>(L, node, SCALE, &scale);
  p.scale = glm::vec3(scale);
  getNumber<float>(L, node, SCALE_X, &p.scale.x);
  getNumber<float>(L, node, SCALE_Y, &p.scale.y);
  getNumber<float>(L, node, SCALE_Z, &p.scale.z);
  float rotationZ = 0;
  getNumber<float>(L, node, ROTATION, &rotationZ);
  getNumber<float>(L, node, ROTATION_Z, &rotationZ);
  float rotationX = 0, rotationY = 0;
  getNumber<float>(L, node, ROTATION_X, &rotationX);
  getNumber<float>(L, node, ROTATION_Y, &rotationY);
  p.rotationX = toRadians(rotationX);
  p.rotationY = toRadians(rotationY);
  p.rotationZ = toRadians(rotationZ);
  return p;
}

// parent × T × Rz × Rx × Ry × S of the table on top (`node` its snapshot, or
// null).
glm::mat4 compose(lua_State* L, const nodefields::Snapshot* node, glm::mat4 transform) {
  Placement p = readPlacement(L, node);
  transform = glm::translate(transform, p.position);
  // Most nodes only move: rotations by zero and a scale by one would leave a
  // finite matrix as it is.
  if (p.rotationZ == 0 && p.rotationX == 0 && p.rotationY == 0 && p.scale == glm::vec3(1.0f)) {
    glm::vec4 sum = transform[0] + transform[1] + transform[2];
    if (std::isfinite(sum.x + sum.y + sum.z + sum.w)) return transform;
  }
  transform = rotate(transform, p.rotationZ, Z_AXIS);
  transform = rotate(transform, p.rotationX, X_AXIS);
  transform = rotate(transform, p.rotationY, Y_AXIS);
  return glm::scale(transform, p.scale);
}

// Copies the matrix stored in the table at absolute index `node` into `out`.
// Only a block this pass made counts: any other value under the field, or a
// value at `node` that is not a table, leaves `out` alone and gives false.
bool readStored(lua_State* L, int node, glm::mat4& out) {
  const glm::mat4* stored = findUserData<glm::mat4>(L, node, TRANSFORM_FIELD);
  if (stored) out = *stored;
  return stored != nullptr;
}

// The matrices stored during this frame's walk, by the stack position of
// their node. The walk keeps a node's parent two positions below it, so a
// child finds its parent's matrix here instead of in the parent's table. An
// entry holds for the table at that position while nothing has run that could
// have replaced the table's field (nodefields::changes).
struct Stored {
  const void* node = nullptr;
  glm::mat4* matrix = nullptr;
  unsigned long long changes = 0;
};
std::vector<Stored> storedAt;

glm::mat4* storedFor(lua_State* L, int position) {
  if (position < 1 || static_cast<size_t>(position) >= storedAt.size()) return nullptr;
  const Stored& entry = storedAt[static_cast<size_t>(position)];
  if (!entry.matrix || entry.changes != nodefields::changes() ||
      entry.node != lua_topointer(L, position))
    return nullptr;
  return entry.matrix;
}

// The metatable that marks matrix records in this frame's interpreter.
const void* recordMetatable = nullptr;

// The node's own record, from the snapshot when it shows it; else the field
// is read (and the record made the first time).
glm::mat4* recordOf(lua_State* L, const nodefields::Snapshot* node, const glm::mat4& initial) {
  if (node && node->valid) {
    const nodefields::Value* value = node->find(TRANSFORM.field);
    if (value && value->type == LUA_TUSERDATA && value->metatable &&
        value->metatable == recordMetatable)
      return static_cast<glm::mat4*>(value->userdata);
  }
  return getUserData<glm::mat4>(L, TRANSFORM_FIELD, initial);
}

// The transform handler: the parent sits two positions below the node, beneath
// the node's key. A root, or a stack too short for a parent, composes onto the
// identity.
void storeWorldMatrix(lua_State* L) {
  glm::mat4 parent(1.0f);
  int top = lua_gettop(L);
  if (top >= 3) {
    if (const glm::mat4* stored = storedFor(L, top - 2))
      parent = *stored;
    else
      readStored(L, top - 2, parent);
  }
  if (top == 0 || !lua_istable(L, -1)) return;
  const nodefields::Snapshot* node = nodefields::entered();
  glm::mat4 transform = compose(L, node, parent);
  glm::mat4* record = recordOf(L, node, transform);
  *record = transform;
  if (storedAt.size() <= static_cast<size_t>(top)) storedAt.resize(static_cast<size_t>(top) + 1);
  // A snapshot still holding is of the table on top.
  node = nodefields::entered();
  const void* table = node ? node->node : lua_topointer(L, top);
  storedAt[static_cast<size_t>(top)] = Stored{table, record, nodefields::changes()};
}

// What a camera whose matrix would not be finite gets, so that nothing of it is
// drawn instead of vertices at infinity; reported once per run.
glm::mat4 emptyView() {
  static bool reported = false;
  if (!reported) {
    reported = true;
    DLOG(LogLevel::Warning, "Camera with an empty or non-finite view draws nothing\n");
  }
  return glm::mat4(0.0f);
}

bool isFinite(const glm::mat4& m) {
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row)
      if (!std::isfinite(m[column][row])) return false;
  return true;
}
}  // namespace

glm::mat4 rotate(const glm::mat4& transform, float angle, const glm::vec3& axis) {
  if (angle == 0) {
    // A sum is finite only when every term is (an overflow merely rotates).
    glm::vec4 sum = transform[0] + transform[1] + transform[2];
    if (std::isfinite(sum.x + sum.y + sum.z + sum.w)) return transform;
  }
  return glm::rotate(transform, angle, axis);
}

void prepare(lua_State* L, HandlerQueue& enter) {
  storedAt.clear();
  luautils::pushRecordMetatable<glm::mat4>(L);
  recordMetatable = lua_topointer(L, -1);
  lua_pop(L, 1);
  enter.emplace_back(storeWorldMatrix);
}

void createTransform(lua_State* L, glm::mat4 transform) {
  if (lua_gettop(L) == 0 || !lua_istable(L, -1)) return;
  transform = compose(L, nodefields::visiting(L), transform);
  *getUserData<glm::mat4>(L, TRANSFORM_FIELD, transform) = transform;
}

glm::mat4 getTransform(lua_State* L) {
  glm::mat4 transform(1.0f);
  int top = lua_gettop(L);
  if (const glm::mat4* stored = storedFor(L, top))
    transform = *stored;
  else if (top > 0)
    readStored(L, top, transform);
  return transform;
}

glm::mat4 calcTransform(lua_State* L) {
  glm::mat4 transform(1.0f);
  int top = lua_gettop(L);
  // The chain is counted down from the table on top, so that extra values below
  // the root shift nothing; values in the chain that are not tables are skipped.
  for (int i = top % 2 == 0 ? 2 : 1; i <= top; i += 2) {
    if (!lua_istable(L, i)) continue;
    lua_pushvalue(L, i);
    Placement p = readPlacement(L, nullptr);
    lua_pop(L, 1);
    transform = glm::translate(transform, p.position);
    transform = glm::scale(transform, p.scale);
    transform = glm::rotate(transform, p.rotationZ, Z_AXIS);
    transform = glm::rotate(transform, p.rotationX, X_AXIS);
    transform = glm::rotate(transform, p.rotationY, Y_AXIS);
  }
  return transform;
}

glm::mat4 calcProjection(lua_State* L) {
  if (lua_gettop(L) == 0) return emptyView();
  glm::mat4 view = calcTransform(L);

  float height = static_cast<float>(screenHeight);
  getNumber<float>(L, "height", &height);
  std::string fit = "height";
  getString(L, "fit", fit);
  float width;
  if (fit == "height") {
    width = static_cast<float>(screenWidth) * height / static_cast<float>(screenHeight);
  } else {
    width = static_cast<float>(screenWidth);
    getNumber<float>(L, "width", &width);
    if (fit == "width")
      height = static_cast<float>(screenHeight) * width / static_cast<float>(screenWidth);
  }

  std::string projection = "ortho";
  getString(L, "projection", projection);
  luautils::pushField(L, -1, "fov");
  bool hasFov = !lua_isnil(L, -1);
  lua_pop(L, 1);

  glm::mat4 clip;
  if (hasFov || projection == "perspective") {
    float fov = 45;
    getNumber<float>(L, "fov", &fov);
    if (fit == "width")
      fov = fov * (static_cast<float>(designWidth) / static_cast<float>(designHeight)) /
            (static_cast<float>(screenWidth) / static_cast<float>(screenHeight));
    float aspect = width / height;
    // GLM asserts on a NaN aspect (and on exactly epsilon); 0 and infinity
    // would only give an infinite matrix.
    if (!std::isfinite(aspect) || aspect == 0 || aspect == std::numeric_limits<float>::epsilon())
      return emptyView();
    clip = glm::perspective(fov * static_cast<float>(angles::PI / 180), aspect, 0.1f, 1000.0f);
  } else {
    clip = glm::ortho(-width / 2, width / 2, -height / 2, height / 2, -10000.0f, 10000.0f);
  }

  glm::mat4 result = clip * glm::inverse(view);
  return isFinite(result) ? result : emptyView();
}
}  // namespace transforms
