// The model records: a model is a tree of meshes with an optional key-frame
// animation of its transform. Shared by the OBJ and .mod readers, the model
// cache and the model pass; the records know nothing of files or drawing.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The shader names that select a program.
struct ShaderPair {
  std::string vs;  // vertex shader
  std::string ps;  // fragment (pixel) shader
};

namespace animation {
enum Target : uint32_t { TRANSLATION = 0, ROTATION = 1, SCALE = 2 };
// Stored with each key frame; evaluation always interpolates the same way.
enum InterpolationType : uint32_t { CONSTANT = 0, LINEAR = 1, CUBIC = 2 };

struct Tangent {};  // placeholder, no content yet

struct KeyFrame {
  glm::vec3 translation = glm::vec3(0.0f);
  glm::vec3 scale = glm::vec3(1.0f);
  glm::quat rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);  // identity; stored x, y, z, w
  InterpolationType interpolationType = LINEAR;
  Tangent leftTangent;
  Tangent rightTangent;
};
// The image of a key frame in a .mod file is exactly this record.
static_assert(sizeof(KeyFrame) == 48, "key-frame record image is 48 bytes");

struct Curve {
  std::map<uint32_t, KeyFrame> keyFrames;  // by frame number
  Target target = TRANSLATION;
  std::function<void(const KeyFrame&, const KeyFrame&, float)> player;  // unused by evaluation
};

struct Animation {
  std::vector<Curve> curves;  // the first curve of each target is used
  float playhead = 0;
  uint32_t framesPerSecond = 0;
  uint32_t frames = 0;  // wrap point
};
}  // namespace animation

namespace model {
struct Material {
  glm::vec4 color = glm::vec4(1.0f);
  ShaderPair shaderPair;
};

struct Mesh {
  // Per vertex: position (3), then normal (3) if hasNormals, colour (3) if
  // hasColor, texture coordinate (2) if hasUvs.
  std::vector<float> vertices;
  std::vector<uint32_t> indices;  // triangle list; empty draws the vertices in order
  Material material;
  bool hasNormals = false;
  bool hasUvs = false;
  bool hasColor = false;
};

struct Model {
  std::vector<Model> children;  // drawn with this model's transform
  std::vector<Mesh> meshes;
  animation::Animation animation;
};

// Floats per vertex of a mesh, as its flags describe them.
inline int floatsPerVertex(const Mesh& mesh) {
  return 3 + 3 * mesh.hasNormals + 3 * mesh.hasColor + 2 * mesh.hasUvs;
}
}  // namespace model
