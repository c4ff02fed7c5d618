// Key-frame evaluation. Between two key frames values interpolate linearly
// (quaternions with glm's mix, which takes no shorter-arc shortcut). Before
// the first key frame the first two extrapolate (t below 0), as files made for
// this format expect; after the last key frame the last one holds.
#include "assets/animation.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <cstdint>
#include <iterator>

namespace animation {
namespace {
glm::vec3 interpolate(const glm::vec3& a, const glm::vec3& b, float t) { return a + (b - a) * t; }
glm::quat interpolate(const glm::quat& a, const glm::quat& b, float t) { return glm::mix(a, b, t); }

// The frame's whole number for the key-frame lookup, clamped so the
// conversion is defined for any float.
uint32_t wholeFrame(float frame) {
  if (!(frame > 0)) return 0;
  if (frame >= 4294967040.0f) return UINT32_MAX;  // largest float below 2^32
  return static_cast<uint32_t>(frame);
}

// The curve's value at `frame`, read from each key frame with `field`. The
// curve must hold at least one key frame.
template <typename T>
T valueAt(const Curve& curve, float frame, T KeyFrame::*field) {
  auto next = curve.keyFrames.upper_bound(wholeFrame(frame));
  // Below every key frame number the first key frame is the one to start from.
  auto key = next == curve.keyFrames.begin() ? next++ : std::prev(next);
  if (next == curve.keyFrames.end()) return key->second.*field;
  float t = (frame - static_cast<float>(key->first)) /
            static_cast<float>(next->first - key->first);
  return interpolate(key->second.*field, next->second.*field, t);
}

// False for NaN as well.
template <typename V>
bool withinRange(const V& values) {
  for (int i = 0; i < V::length(); ++i)
    if (!(std::fabs(values[i]) <= MAX_KEY_VALUE)) return false;
  return true;
}

// A curve without key frames drives nothing.
const Curve* usableCurve(const Animation& animation, Target target) {
  const Curve* curve = findCurve(animation, target);
  return curve && !curve->keyFrames.empty() ? curve : nullptr;
}
}  // namespace

bool interpolable(const Curve& curve) {
  for (const auto& entry : curve.keyFrames) {
    const KeyFrame& key = entry.second;
    switch (curve.target) {
      case TRANSLATION:
        if (!withinRange(key.translation)) return false;
        break;
      case SCALE:
        if (!withinRange(key.scale)) return false;
        break;
      case ROTATION:
        if (!withinRange(key.rotation)) return false;
        break;
    }
  }
  return true;
}

const Curve* findCurve(const Animation& animation, Target target) {
  for (const Curve& curve : animation.curves)
    if (curve.target == target) return &curve;
  return nullptr;
}

glm::mat4 evaluate(const Animation& animation, float seconds) {
  float frame = static_cast<float>(animation.framesPerSecond) * seconds;
  // Without a length there is nothing to wrap at: the frame keeps growing.
  if (animation.frames > 0 && frame > static_cast<float>(animation.frames)) {
    float length = static_cast<float>(animation.frames);
    frame -= std::floor(frame / length) * length;
  }
  return evaluateFrame(animation, frame);
}

glm::mat4 evaluateFrame(const Animation& animation, float frame) {
  glm::mat4 matrix(1.0f);
  if (const Curve* curve = usableCurve(animation, TRANSLATION))
    matrix = glm::translate(matrix, valueAt(*curve, frame, &KeyFrame::translation));
  if (const Curve* curve = usableCurve(animation, ROTATION))
    matrix = matrix * glm::mat4_cast(valueAt(*curve, frame, &KeyFrame::rotation));
  if (const Curve* curve = usableCurve(animation, SCALE))
    matrix = glm::scale(matrix, valueAt(*curve, frame, &KeyFrame::scale));
  return matrix;
}
}  // namespace animation
