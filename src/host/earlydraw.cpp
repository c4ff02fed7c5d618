// The early draws of a frame's first camera: when they may happen, and what
// of them stands after the walk.
#include "host/earlydraw.h"

#include <cstdlib>

#include "core/nodefields.h"
#include "host/letterbox.h"
#include "scene/clearing.h"

namespace earlydraw {
namespace {
// Finished batches are drawn once they hold this many triangles; smaller
// scenes draw after the walk as ever.
const int MIN_TRIANGLES = 4096;

bool enabled = getenv("TARNWICK_NO_EARLY_DRAW") == nullptr;

struct Frame {
  BatchMatrix* batchMatrix = nullptr;
  bool trying = false;   // early draws may still happen in this walk
  bool cleared = false;  // the window was cleared for them
  unsigned long long changesAtStart = 0;
  DrawnPrefix drawn;
  // Triangles of list 0 from drawn.batch up to batch `counted`, which are
  // summed once each: every batch but the last is final.
  size_t counted = 0;
  int summed = 0;
};
Frame frame;
bool lastWalkRanScript = false;

// Whether a raw value read as a clear colour component runs script code.
bool runsScript(lua_State* L, int table, const char* name) {
  lua_pushstring(L, name);
  lua_rawget(L, table);
  bool function = lua_isfunction(L, -1);
  lua_pop(L, 1);
  return function;
}

// Whether clearing the window reads clearColor without running script code:
// no metatable on the way and no function among its components.
bool clearColorIsPlain(lua_State* L) {
  lua_pushstring(L, "clearColor");
  lua_rawget(L, LUA_GLOBALSINDEX);
  bool plain;
  if (lua_isnil(L, -1)) {
    plain = !lua_getmetatable(L, LUA_GLOBALSINDEX);
    if (!plain) lua_pop(L, 1);
  } else if (lua_istable(L, -1)) {
    int table = lua_gettop(L);
    plain = !lua_getmetatable(L, table);
    if (!plain) lua_pop(L, 1);
    plain = plain && !runsScript(L, table, "red") && !runsScript(L, table, "green") &&
            !runsScript(L, table, "blue");
  } else {
    plain = true;
  }
  lua_pop(L, 1);
  return plain;
}

int trianglesOf(const Batch& batch) {
  return batch.indices ? batch.indexCount / 3 : batch.triangles;
}

// Triangles of the list not drawn yet.
int pendingTriangles(BatchList& list) {
  if (list.empty()) return 0;
  size_t last = list.size() - 1;
  for (; frame.counted < last; ++frame.counted) frame.summed += trianglesOf(list[frame.counted]);
  return frame.summed + trianglesOf(list[last]) - frame.drawn.triangles;
}

// The handler, after every node's passes.
void drawFinished(lua_State* L) {
  if (!frame.trying) return;
  if (nodefields::changes() != frame.changesAtStart) {
    frame.trying = false;
    return;
  }
  BatchList& list = (*frame.batchMatrix)[0];
  if (pendingTriangles(list) < MIN_TRIANGLES) return;
  if (!frame.cleared) {
    letterbox::prepareFrame();
    clearing::clearWindow(L);
    frame.cleared = true;
  }
  if (!gr_renderFinished(list, frame.drawn)) {
    frame.trying = false;
    return;
  }
  frame.counted = frame.drawn.batch;
  frame.summed = 0;
}
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  frame = Frame{};
  frame.batchMatrix = &batchMatrix;
  frame.changesAtStart = nodefields::changes();
  frame.trying = enabled && !lastWalkRanScript && !batchMatrix.empty() &&
                 renderTargets.empty() && clearColorIsPlain(L);
  if (frame.trying) enter.emplace_back(drawFinished);
}

void setEnabled(bool on) { enabled = on; }

DrawnPrefix finish(lua_State* L) {
  lastWalkRanScript = nodefields::changes() != frame.changesAtStart;
  // Script code after an early draw may have drawn, cleared or changed what
  // the clearing reads: the frame is then drawn whole, as without early draws.
  if (!frame.cleared || lastWalkRanScript) {
    clearing::clearFrame(L);
    return {};
  }
  // Camera fields that run script code do so after the early draws here.
  unsigned long long before = nodefields::changes();
  clearing::clearTargets(L);
  if (nodefields::changes() != before) {
    clearing::clearWindow(L);
    return {};
  }
  return frame.drawn;
}
}  // namespace earlydraw
