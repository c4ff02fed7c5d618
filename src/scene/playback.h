// Playing a model's key-frame animation from its scene node. A node with
// `framesPerSecond` plays its model: `frames` is the length to loop at (default:
// the last key-frame number in the model's tree), `animationTime` the time in
// seconds (default: the run's clock), and `loop = false` holds the last pose.
// Without `framesPerSecond` a model keeps its own timing (frame 0 for files).
#pragma once

#include <cstdint>
#include <optional>

#include "assets/model_records.h"
#include "core/luautils.h"

namespace playback {
// The key-frame number at which the node on top plays `model`, or nothing when
// it has no `framesPerSecond`. `clockSeconds` is the run's clock.
std::optional<float> frameFor(lua_State* L, const model::Model& model, float clockSeconds);
// The highest key-frame number of any curve in the model and its children; 0
// when there is none.
uint32_t lastKeyFrame(const model::Model& model);
}  // namespace playback
