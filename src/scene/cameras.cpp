// Camera discovery shared by the drawing passes.
#include "scene/cameras.h"

#include "scene/transforms.h"

namespace cameras {
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
    found(L, camera);
  });
}
}  // namespace cameras
