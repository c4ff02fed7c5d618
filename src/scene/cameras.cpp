// Camera discovery shared by the drawing passes.
#include "scene/cameras.h"

#include "core/diagnostics.h"
#include "scene/transforms.h"

namespace cameras {
Switches readSwitches(lua_State* L) {
  Switches switches;
  getBool(L, "depthTest", &switches.depthTest);
  getBool(L, "clearTarget", &switches.clearTarget);
  return switches;
}

void forEach(lua_State* L, BatchMatrix& batchMatrix,
             const std::function<void(lua_State*, const Camera&)>& found) {
  int count = 0;
  find(L, "camera", [&](lua_State*) {
    if (!lua_istable(L, -1)) return;
    Camera camera;
    camera.index = count++;
    while (batchMatrix.size() <= static_cast<size_t>(camera.index)) batchMatrix.emplace_back();
    camera.projection = transforms::calcProjection(L);
    camera.layer = getString(L, "layer");
    camera.target = getString(L, "target");
    if (!camera.target.empty() && !gr_getRenderTarget(camera.target))
      diagnostics::warnOnce("target " + camera.target,
                            "Warning: camera target %s names no render target; the camera "
                            "draws into the window\n",
                            camera.target.c_str());
    found(L, camera);
  });
}
}  // namespace cameras
