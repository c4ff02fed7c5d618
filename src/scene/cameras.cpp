// Camera discovery shared by the drawing passes and the clearing step, with
// the fields found remembered between searches.
#include "scene/cameras.h"

#include "core/diagnostics.h"
#include "scene/transforms.h"

namespace cameras {
namespace {
// The registry entry (under this key's address) holding the chains last
// found: a list of lists {key, table, key, table, ..., "camera", value}, from
// the first key below the root up to the camera field's value.
char chainsKey;

struct Remembered {
  const void* root = nullptr;
  const void* chains = nullptr;  // the registry's list, so another interpreter's is never used
  unsigned long long changes = 0;
};
Remembered remembered;
bool remembering = false;

// Pushes the registry's list of chains (or nil).
void pushChains(lua_State* L) {
  lua_pushlightuserdata(L, &chainsKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
}

// Whether the remembered chains were found from this root and still hold.
bool holds(lua_State* L, const void* root) {
  if (!remembering || root != remembered.root || nodefields::changes() != remembered.changes) return false;
  pushChains(L);
  bool same = lua_istable(L, -1) && lua_topointer(L, -1) == remembered.chains;
  lua_pop(L, 1);
  return same;
}

// Searches, calling `found` for each field and remembering the chains. The
// stack above the root holds exactly what find puts there, since the passes
// read a camera's ancestry from it.
void search(lua_State* L, const std::function<void(lua_State*)>& found) {
  int root = lua_gettop(L);
  unsigned long long before = nodefields::changes();
  lua_pushlightuserdata(L, &chainsKey);
  lua_newtable(L);
  remembered = Remembered{lua_topointer(L, root), lua_topointer(L, -1), before};
  lua_rawset(L, LUA_REGISTRYINDEX);
  int count = 0;
  find(L, "camera", [&](lua_State* state) {
    int top = lua_gettop(state);
    pushChains(state);
    lua_createtable(state, top - root, 0);
    for (int i = root + 1; i <= top; ++i) {
      lua_pushvalue(state, i);
      lua_rawseti(state, -2, i - root);
    }
    lua_rawseti(state, -2, ++count);
    lua_pop(state, 1);
    found(state);
  });
}

// Hands out the remembered chains as find would, each pushed above the root.
void replay(lua_State* L, const std::function<void(lua_State*)>& found) {
  int root = lua_gettop(L);
  pushChains(L);
  int count = static_cast<int>(lua_objlen(L, -1));
  lua_pop(L, 1);
  for (int i = 1; i <= count; ++i) {
    pushChains(L);
    lua_rawgeti(L, -1, i);
    lua_remove(L, -2);
    int length = static_cast<int>(lua_objlen(L, -1));
    if (!lua_checkstack(L, length + 4)) break;
    for (int k = 1; k <= length; ++k) lua_rawgeti(L, root + 1, k);
    lua_remove(L, root + 1);
    found(L);
    lua_settop(L, root);
  }
}
}  // namespace

void findAll(lua_State* L, const std::function<void(lua_State*)>& found) {
  if (holds(L, lua_topointer(L, -1)))
    replay(L, found);
  else
    search(L, found);
}

void setRemembering(bool enabled) { remembering = enabled; }

Switches readSwitches(lua_State* L) {
  Switches switches;
  getBool(L, "depthTest", &switches.depthTest);
  getBool(L, "clearTarget", &switches.clearTarget);
  return switches;
}

bool sees(lua_State* L, const nodefields::Snapshot* node, const Camera& camera) {
  static const nodefields::Key LAYER("layer");
  if (node && node->valid && node->known(LAYER.field) && !node->has(LAYER.field))
    return camera.layer.empty();
  static std::string layer;  // reused: one thread, and no handler runs inside another
  layer.clear();
  getString(L, node, LAYER, layer);
  return layer == camera.layer;
}

void forEach(lua_State* L, BatchMatrix& batchMatrix,
             const std::function<void(lua_State*, const Camera&)>& found) {
  int count = 0;
  findAll(L, [&](lua_State*) {
    if (!lua_istable(L, -1)) return;
    Camera camera;
    camera.index = count++;
    while (batchMatrix.size() <= static_cast<size_t>(camera.index)) batchMatrix.emplace_back();
    camera.projection = transforms::calcProjection(L);
    camera.layer = getString(L, "layer");
    camera.target = getString(L, "target");
    if (!camera.target.empty() && !gr_getRenderTarget(camera.target))
      diagnostics::warnOnceUnderDebug("target " + camera.target,
                            "Warning: camera target %s names no render target; the camera "
                            "draws into the window\n",
                            camera.target.c_str());
    found(L, camera);
  });
}
}  // namespace cameras
