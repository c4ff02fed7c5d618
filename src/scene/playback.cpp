// Node-driven playback: from the node's fields to one key-frame number for the
// whole model tree, so that parts of one model stay in step.
#include "scene/playback.h"

#include <algorithm>
#include <cmath>

namespace playback {
uint32_t lastKeyFrame(const model::Model& model) {
  uint32_t last = 0;
  for (const animation::Curve& curve : model.animation.curves)
    if (!curve.keyFrames.empty()) last = std::max(last, curve.keyFrames.rbegin()->first);
  for (const model::Model& child : model.children) last = std::max(last, lastKeyFrame(child));
  return last;
}

std::optional<float> frameFor(lua_State* L, const model::Model& model, float clockSeconds) {
  luautils::pushResolvedField(L, -1, "framesPerSecond");
  if (!lua_isnumber(L, -1)) {
    lua_pop(L, 1);
    return std::nullopt;
  }
  float framesPerSecond = static_cast<float>(lua_tonumber(L, -1));
  lua_pop(L, 1);

  float seconds = clockSeconds;
  getNumber<float>(L, "animationTime", &seconds);
  float length = static_cast<float>(lastKeyFrame(model));
  float given = 0;
  getNumber<float>(L, "frames", &given);
  if (given > 0 && std::isfinite(given)) length = given;
  bool loop = true;
  getBool(L, "loop", &loop);

  float frame = framesPerSecond * seconds;
  if (!std::isfinite(frame)) return 0.0f;
  if (!(length > 0)) return frame;  // nothing to wrap at: the frame keeps growing
  if (!loop) return std::min(std::max(frame, 0.0f), length);
  float wrapped = frame - std::floor(frame / length) * length;
  // Rounding can land a hair below 0 or on the length itself.
  return std::min(std::max(wrapped, 0.0f), length);
}
}  // namespace playback
