// Test helper: .mod files assembled field by field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {
struct ModBytes {
  std::string bytes;
  ModBytes& u32(uint32_t value) {
    bytes.append(reinterpret_cast<const char*>(&value), 4);
    return *this;
  }
  ModBytes& f32(float value) {
    bytes.append(reinterpret_cast<const char*>(&value), 4);
    return *this;
  }
  ModBytes& floats(std::vector<float> values) {
    for (float v : values) f32(v);
    return *this;
  }
  // frame, translation, scale, rotation x y z w, interpolation, tangents, padding
  ModBytes& keyFrame(uint32_t frame, float tx, std::vector<float> rotation, uint32_t type) {
    u32(frame).floats({tx, 0, 0, 1, 2, 3}).floats(rotation).u32(type);
    bytes.append(4, '\x7f');
    return *this;
  }
  // A mesh block: vertex floats (8 a vertex), indices, colour r g b a.
  ModBytes& mesh(std::vector<float> vertices, std::vector<uint32_t> indices,
                 std::vector<float> colour) {
    u32(static_cast<uint32_t>(vertices.size())).floats(vertices);
    u32(static_cast<uint32_t>(indices.size()));
    for (uint32_t index : indices) u32(index);
    return floats(colour);
  }
  // Two vertices holding the floats 0 to 15, colour (0.5, 0.25, 1, 1).
  ModBytes& mesh(std::vector<uint32_t> indices) {
    std::vector<float> vertices;
    for (int i = 0; i < 16; ++i) vertices.push_back(static_cast<float>(i));
    return mesh(vertices, indices, {0.5f, 0.25f, 1, 1});
  }
};
}  // namespace testsupport
