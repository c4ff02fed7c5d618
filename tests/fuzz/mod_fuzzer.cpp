// Fuzzes the .mod reader and the key-frame evaluation of what it reads. Every
// kept index points at a real vertex, nothing read outgrows the file, nesting
// stays bounded, and evaluating an animation at one of its key frames gives
// that key frame's translation.
#include <cmath>
#include <cstdio>
#include <iterator>

#include "assets/animation.h"
#include "assets/model.h"
#include "harness.h"

namespace {
const size_t FLOATS_PER_VERTEX = 8;
const size_t KEY_FRAME_RECORD = 52;
const int MAX_DEPTH = 64;
const float FRAMES_EXACT = 16777216.0f;  // 2^24: frame numbers below it are exact floats

// Bytes of file behind the model's complete meshes and curves: they cannot
// outnumber the input, whatever counts it claims.
size_t contentBytes(const model::Model& model) {
  size_t bytes = 0;
  for (const model::Mesh& mesh : model.meshes)
    bytes += 8 + 16 + 4 * (mesh.vertices.size() + mesh.indices.size());
  for (const animation::Curve& curve : model.animation.curves)
    bytes += 8 + KEY_FRAME_RECORD * curve.keyFrames.size();
  for (const model::Model& child : model.children) bytes += contentBytes(child);
  return bytes;
}

bool finite(const glm::vec3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// At a key frame's own time the translation is that key frame's: the reader
// keeps no curve whose values are infinite, or so large that the difference of
// two overflows (infinity × 0 would spoil the interpolation's zero).
void checkTranslationAtKeyFrames(animation::Animation animation) {
  const animation::Curve* curve = animation::findCurve(animation, animation::TRANSLATION);
  if (!curve || curve->keyFrames.empty()) return;
  for (const auto& key : curve->keyFrames) FUZZ_CHECK(finite(key.second.translation));
  animation.framesPerSecond = 1;
  animation.frames = 0;
  int checked = 0;
  for (auto key = curve->keyFrames.begin(); key != curve->keyFrames.end() && checked < 8;
       ++key, ++checked) {
    if (static_cast<float>(key->first) >= FRAMES_EXACT) break;
    glm::mat4 matrix = animation::evaluate(animation, static_cast<float>(key->first));
    const glm::vec3& expected = key->second.translation;
    FUZZ_CHECK(matrix[3][0] == expected.x && matrix[3][1] == expected.y &&
               matrix[3][2] == expected.z);
  }
}

void checkModel(const model::Model& model, int depth) {
  FUZZ_CHECK(depth <= MAX_DEPTH);
  for (const model::Mesh& mesh : model.meshes) {
    size_t vertices = mesh.vertices.size() / FLOATS_PER_VERTEX;
    for (uint32_t index : mesh.indices) FUZZ_CHECK(index < vertices);
    FUZZ_CHECK(mesh.hasNormals && mesh.hasUvs && !mesh.hasColor);
    fuzz::readAll(reinterpret_cast<const unsigned char*>(mesh.vertices.data()),
                  mesh.vertices.size() * sizeof(float));
  }
  checkTranslationAtKeyFrames(model.animation);
  // Any time at all, wrapped or not, evaluates without fault.
  animation::Animation running = model.animation;
  running.framesPerSecond = 24;
  running.frames = 48;
  for (float seconds : {0.0f, 0.5f, 1.99f, 1e9f, -3.0f, NAN, INFINITY})
    animation::evaluate(running, seconds);
  for (const model::Model& child : model.children) checkModel(child, depth + 1);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy: fmemopen wants writable memory it may not own.
  std::string bytes(reinterpret_cast<const char*>(data), size);
  FILE* file = fmemopen(size ? &bytes[0] : nullptr, size, "rb");
  if (!file) return 0;  // glibc refuses an empty buffer
  model::Model model;
  model::readMod(model, file);
  fclose(file);
  checkModel(model, 0);
  FUZZ_CHECK(contentBytes(model) <= size);
  return 0;
}
