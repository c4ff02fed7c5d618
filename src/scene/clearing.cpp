// The clearing step of a frame, read from the script's tables.
#include "scene/clearing.h"

#include <string>

#include "core/luautils.h"
#include "scene/cameras.h"
#include "render/screen.h"

namespace clearing {
namespace {
void clearCameraTarget(lua_State* L) {
  std::string target;
  if (!lua_istable(L, -1) || !getString(L, "target", target)) return;
  luautils::pushField(L, -1, "clearTarget");
  bool unset = lua_isnil(L, -1);
  lua_pop(L, 1);
  if (!unset && !getBool(L, "clearTarget")) return;
  if (RenderTarget* renderTarget = gr_getRenderTarget(target)) gr_clearTarget(*renderTarget);
}
}  // namespace

void clearFrame(lua_State* L) {
  clearWindow(L);
  clearTargets(L);
}

void clearWindow(lua_State* L) {
  float red = 0.9f, green = 0.6f, blue = 0.3f;
  luautils::pushGlobal(L, "clearColor");
  if (lua_istable(L, -1)) {
    getNumber<float>(L, "red", &red);
    getNumber<float>(L, "green", &green);
    getNumber<float>(L, "blue", &blue);
  }
  lua_pop(L, 1);
  gr_clearWindow(red, green, blue);
}

void clearTargets(lua_State* L) { cameras::findAll(L, clearCameraTarget); }
}  // namespace clearing
