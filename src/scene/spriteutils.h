// Sprite quads: a named sprite of the sprite sheet as two textured, coloured
// triangles placed by a matrix, and a batch that grows by whole quads so that
// many sprites with one shader and texture draw in one call. Setting the batch's
// attributes, program, uniforms and freeData is the caller's part.
#pragma once

#include <glm/glm.hpp>

#include <map>
#include <string>

#include "assets/resources.h"
#include "render/graphics.h"
#include "scene/vertex.h"

namespace sprites {
const int QUAD_VERTICES = 6;  // two triangles, no index array

// One quad, copied freely.
struct SpriteQuad {
  float vertices[100] = {};  // the first 6 vertices (vertex.h) hold the quad
  char alias[128] = {};      // the sprite's name, cut to 127 characters
  std::string vs = "ptc";
  std::string ps = "ptc";
  resources::Sprite resource;                // the sheet entry the quad shows
  std::map<std::string, Uniform> uniforms;   // empty as created here
};

// The quad of sprite `spriteName` (blockerSad when missing), its corners at
// ±width/2, ±height/2 shifted by `pivot` ("bottom", "top", "left", "right", or
// anything else for the centre) and then transformed; every vertex gets `color`.
SpriteQuad createSprite(const std::string& spriteName, const glm::mat4& transform,
                    const std::string& pivot, const glm::vec4& color);
// The offset that puts the middle of the edge `pivot` names ("bottom", "top",
// "left", "right"; anything else the centre) on the origin.
glm::vec2 pivotShift(const resources::Sprite& resource, const std::string& pivot);
// Writes the quad of `resource` (6 vertices as vertex.h lays them out, like
// SpriteQuad::vertices) to `out`: corners at ±width/2, ±height/2
// moved by `shift` (pivotShift), then transformed; every vertex gets `color`.
void writeQuad(const resources::Sprite& resource, const glm::mat4& transform, glm::vec2 shift,
               const glm::vec4& color, float* out);
// Appends the quad's six vertices to batch->data (malloc'd, grown by doubling)
// and adds 2 to batch->triangles. The vertex size is the batch's stride.
void appendSpriteToBatch(const SpriteQuad& sprite, Batch* batch);
}  // namespace sprites
