// The .mod writer: the mirror of the reader in model_mod.cpp, whose comment
// draws the layout. Key-frame records are written field by field, tangent and
// padding bytes as zeros.
#include "assets/model_write.h"

#include <glm/glm.hpp>

#include <cstring>
#include <vector>

namespace model {
namespace {
const int FLOATS_PER_VERTEX = 8;
const size_t KEY_FRAME_RECORD = 52;
// Fields are written in the host's byte order, which must be the files'.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian host");

struct Writer {
  FILE* file;
  bool ok = true;
  void bytes(const void* data, size_t size) {
    if (ok && size > 0) ok = fwrite(data, 1, size, file) == size;
  }
  void u32(uint64_t value) {
    uint32_t narrow = static_cast<uint32_t>(value);
    bytes(&narrow, 4);
  }
};

void putFloat(unsigned char* record, size_t offset, float value) {
  memcpy(record + offset, &value, 4);
}

void writeKeyFrame(Writer& out, uint32_t frame, const animation::KeyFrame& key) {
  unsigned char record[KEY_FRAME_RECORD] = {};
  memcpy(record, &frame, 4);
  for (int i = 0; i < 3; ++i) putFloat(record, 4 + 4 * static_cast<size_t>(i), key.translation[i]);
  for (int i = 0; i < 3; ++i) putFloat(record, 16 + 4 * static_cast<size_t>(i), key.scale[i]);
  const float rotation[4] = {key.rotation.x, key.rotation.y, key.rotation.z, key.rotation.w};
  for (int i = 0; i < 4; ++i) putFloat(record, 28 + 4 * static_cast<size_t>(i), rotation[i]);
  uint32_t type = key.interpolationType;
  memcpy(record + 44, &type, 4);
  out.bytes(record, sizeof record);
}

// A mesh the reader would take back unchanged: 8 floats a vertex and indices
// inside its vertices.
std::string meshProblem(const Mesh& mesh) {
  if (mesh.vertices.size() % FLOATS_PER_VERTEX != 0)
    return "a mesh's vertex floats are not 8 a vertex";
  uint64_t vertices = mesh.vertices.size() / FLOATS_PER_VERTEX;
  std::string problem = modCountProblem(vertices, mesh.indices.size());
  if (!problem.empty()) return problem;
  for (uint32_t index : mesh.indices)
    if (index >= vertices) return "a mesh's indices pass its vertices";
  return "";
}

bool writeBlock(Writer& out, const Model& model, std::string& problem) {
  out.u32(model.meshes.size());
  for (const Mesh& mesh : model.meshes) {
    problem = meshProblem(mesh);
    if (!problem.empty()) return false;
    out.u32(mesh.vertices.size());
    out.bytes(mesh.vertices.data(), mesh.vertices.size() * sizeof(float));
    out.u32(mesh.indices.size());
    out.bytes(mesh.indices.data(), mesh.indices.size() * sizeof(uint32_t));
    const glm::vec4& c = mesh.material.color;
    const float colour[4] = {c.r, c.g, c.b, c.a};
    out.bytes(colour, sizeof colour);
  }
  out.u32(model.animation.curves.size());
  for (const animation::Curve& curve : model.animation.curves) {
    out.u32(curve.target);
    out.u32(curve.keyFrames.size());
    for (const auto& entry : curve.keyFrames) writeKeyFrame(out, entry.first, entry.second);
  }
  out.u32(model.children.size());
  for (const Model& child : model.children)
    if (!writeBlock(out, child, problem)) return false;
  return true;
}

glm::vec3 positionAt(const Mesh& mesh, int stride, uint32_t vertex) {
  const float* p = &mesh.vertices[static_cast<size_t>(vertex) * static_cast<size_t>(stride)];
  return glm::vec3(p[0], p[1], p[2]);
}

// Each triangle's face normal on its corners (a corner shared by several
// triangles keeps the last); degenerate triangles leave (0, 0, 0).
void setFaceNormals(const Mesh& mesh, int stride, std::vector<float>& out) {
  uint32_t vertices = static_cast<uint32_t>(mesh.vertices.size() / static_cast<size_t>(stride));
  size_t corners = mesh.indices.empty() ? vertices : mesh.indices.size();
  for (size_t t = 0; t + 3 <= corners; t += 3) {
    uint32_t corner[3];
    for (size_t k = 0; k < 3; ++k)
      corner[k] = mesh.indices.empty() ? static_cast<uint32_t>(t + k) : mesh.indices[t + k];
    if (corner[0] >= vertices || corner[1] >= vertices || corner[2] >= vertices) continue;
    glm::vec3 a = positionAt(mesh, stride, corner[0]);
    glm::vec3 n = glm::cross(positionAt(mesh, stride, corner[1]) - a,
                             positionAt(mesh, stride, corner[2]) - a);
    float length = glm::length(n);
    if (!(length > 0)) continue;
    n /= length;
    for (uint32_t v : corner)
      for (int i = 0; i < 3; ++i) out[static_cast<size_t>(v) * FLOATS_PER_VERTEX + 3 + i] = n[i];
  }
}
}  // namespace

std::string modCountProblem(uint64_t vertices, uint64_t indices) {
  if (vertices > MOD_MAX_VERTICES)
    return "more vertices than a .mod file holds (" + std::to_string(vertices) + ", at most " +
           std::to_string(MOD_MAX_VERTICES) + ")";
  if (indices > UINT32_MAX)
    return "more indices than a .mod file holds (" + std::to_string(indices) + ")";
  return "";
}

Mesh toModLayout(const Mesh& mesh) {
  Mesh out = mesh;
  int stride = floatsPerVertex(mesh);
  size_t vertices = mesh.vertices.size() / static_cast<size_t>(stride);
  out.vertices.assign(vertices * FLOATS_PER_VERTEX, 0.0f);
  int uvAt = 3 + 3 * mesh.hasNormals + 3 * mesh.hasColor;
  for (size_t v = 0; v < vertices; ++v) {
    const float* in = &mesh.vertices[v * static_cast<size_t>(stride)];
    float* to = &out.vertices[v * FLOATS_PER_VERTEX];
    memcpy(to, in, 3 * sizeof(float));
    if (mesh.hasNormals) memcpy(to + 3, in + 3, 3 * sizeof(float));
    if (mesh.hasUvs) memcpy(to + 6, in + uvAt, 2 * sizeof(float));
  }
  if (!mesh.hasNormals) setFaceNormals(mesh, stride, out.vertices);
  out.hasNormals = out.hasUvs = true;
  out.hasColor = false;
  return out;
}

bool writeMod(const Model& model, FILE* file, std::string& problem) {
  Writer out{file};
  problem.clear();
  if (!writeBlock(out, model, problem)) return false;
  if (!out.ok || fflush(file) != 0) {
    problem = "the file could not be written";
    return false;
  }
  return true;
}
}  // namespace model
