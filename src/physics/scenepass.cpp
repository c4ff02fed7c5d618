// Worlds found during the scene walk, and their debug drawing after it.
#include "physics/scenepass.h"

#include "physics/debugdraw.h"
#include "physics/nodepath.h"
#include "physics/reach.h"
#include "physics/worlds.h"
#include "scene/cameras.h"
#include "scene/transforms.h"

namespace physics {
namespace {
unsigned walks = 0;
std::vector<cameras::Camera> seen;  // this walk's cameras

struct NodeHandler {
  unsigned walk;

  void operator()(lua_State* L) const {
    static const nodefields::Key PHYSICS("physics"), BODY("body"), CAMERA("camera"),
        ON_COLLISION("onCollision"), ON_COLLISION_END("onCollisionEnd");
    const nodefields::Snapshot* snapshot = nodefields::entered();
    bool world = luautils::present(L, snapshot, PHYSICS);
    bool body = luautils::present(L, snapshot, BODY);
    if (!world && !body) return;
    int node = lua_gettop(L);
    if (world) enterWorld(L, node, snapshot);
    Body* record = body ? findBody(lua_topointer(L, node)) : nullptr;
    if (record) {
      record->holdsOthers = !snapshot || !snapshot->valid || snapshot->hasChildren ||
                            luautils::present(L, snapshot, CAMERA);
      record->listens = luautils::present(L, snapshot, ON_COLLISION) ||
                        luautils::present(L, snapshot, ON_COLLISION_END);
    }
    if (body && !world && !record && !insideWorld(L))
      warnOnceAlways(nodePath(L, luautils::ancestors(), "world"),
                     "a body outside any world (a node with a physics table above it) is left out");
  }

  void enterWorld(lua_State* L, int node, const nodefields::Snapshot* snapshot) const {
    luautils::pushField(L, node, "physics");
    bool table = lua_istable(L, -1);
    lua_pop(L, 1);
    if (!table) return;
    World& found = ensureWorld(L, node, nodePath(L, luautils::ancestors(), "world"));
    found.reached = walk;
    rememberAncestors(L, found, luautils::ancestors());
    found.transform = transforms::getTransform(L);
    found.cameras.clear();
    for (const cameras::Camera& camera : seen)
      if (cameras::sees(L, snapshot, camera)) found.cameras.push_back(camera.index);
  }

  // Whether a table above the visited node has a physics table.
  bool insideWorld(lua_State* L) const {
    const std::vector<luautils::PathStep>& path = luautils::ancestors();
    for (size_t k = 0; k + 1 < path.size(); ++k) {
      luautils::pushField(L, path[k].node, "physics");
      bool table = lua_istable(L, -1);
      lua_pop(L, 1);
      if (table) return true;
    }
    return false;
  }
};
}  // namespace

unsigned walkNumber() { return walks; }

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  ++walks;
  seen.clear();
  cameras::forEach(L, batchMatrix,
                   [](lua_State*, const cameras::Camera& camera) { seen.push_back(camera); });
  enter.push_back(NodeHandler{walks});
}

void finish(BatchMatrix& batchMatrix) {
  for (auto& world : worlds()) {
    if (!world->debugDraw || world->reached != walks) continue;
    for (int index : world->cameras)
      for (const cameras::Camera& camera : seen)
        if (camera.index == index)
          drawWorld(*world, camera.projection, camera.target,
                    batchMatrix[static_cast<size_t>(index)]);
  }
}
}  // namespace physics
