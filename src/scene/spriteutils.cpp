// Building sprite quads and packing them into one growing vertex buffer.
#include "scene/spriteutils.h"

#include <cstdlib>
#include <cstring>

namespace sprites {
namespace {
// Corners (-w/2, +h/2), (+w/2, +h/2), (+w/2, -h/2), (-w/2, -h/2) as signs, in
// the vertex order of the two triangles; the same order as resources::getUVs.
const float CORNER_SIGNS[QUAD_VERTICES][2] = {{-1, 1}, {1, -1}, {1, 1},
                                              {-1, 1}, {-1, -1}, {1, -1}};

// The six vertex positions, each corner placed once.
void getPositions(const resources::Sprite& resource, float* vertices, int offset, int stride,
                  const glm::mat4& transform, glm::vec2 shift) {
  float w = static_cast<float>(resource.width), h = static_cast<float>(resource.height);
  glm::vec4 placed[2][2];  // by sign of x, sign of y
  for (int sx = 0; sx < 2; ++sx)
    for (int sy = 0; sy < 2; ++sy) {
      float signX = sx ? 1.0f : -1.0f, signY = sy ? 1.0f : -1.0f;
      glm::vec4 corner(signX * w / 2 + shift.x, signY * h / 2 + shift.y, 0, 1);
      placed[sx][sy] = transform * corner;
    }
  for (int k = 0; k < QUAD_VERTICES; ++k) {
    const glm::vec4& corner = placed[CORNER_SIGNS[k][0] > 0][CORNER_SIGNS[k][1] > 0];
    float* vertex = vertices + offset + k * stride;
    vertex[0] = corner.x;
    vertex[1] = corner.y;
    vertex[2] = corner.z;
  }
}

bool isPowerOfTwo(int value) { return value > 0 && (value & (value - 1)) == 0; }
}  // namespace

glm::vec2 pivotShift(const resources::Sprite& resource, const std::string& pivot) {
  float w = static_cast<float>(resource.width), h = static_cast<float>(resource.height);
  // Left and right move by the width, so the pivot lands on the edge whatever
  // the sprite's proportions.
  glm::vec2 shift(0, 0);
  if (pivot == "bottom") shift.y = h / 2;
  else if (pivot == "top") shift.y = -h / 2;
  else if (pivot == "left") shift.x = w / 2;
  else if (pivot == "right") shift.x = -w / 2;
  return shift;
}

void writeQuad(const resources::Sprite& resource, const glm::mat4& transform, glm::vec2 shift,
               const glm::vec4& color, float* out) {
  getPositions(resource, out, vertex::POSITION, vertex::FLOATS, transform, shift);
  // getUVs reads the record without changing it; its parameter is not const.
  resources::getUVs(const_cast<resources::Sprite&>(resource), out, vertex::UV, vertex::FLOATS);
  for (int k = 0; k < QUAD_VERTICES; ++k)
    memcpy(out + k * vertex::FLOATS + vertex::COLOR, &color[0], 4 * sizeof(float));
}

SpriteQuad createSprite(const std::string& spriteName, const glm::mat4& transform,
                    const std::string& pivot, const glm::vec4& color) {
  SpriteQuad sprite;
  strncpy(sprite.alias, spriteName.c_str(), sizeof sprite.alias - 1);
  // Looked up by the full name: a cut alias would name another sprite.
  sprite.resource = resources::getSprite(spriteName.c_str());
  writeQuad(sprite.resource, transform, pivotShift(sprite.resource, pivot), color,
            sprite.vertices);
  return sprite;
}

void appendSpriteToBatch(const SpriteQuad& sprite, Batch* batch) {
  int f = batch->getStride();
  // The quad holds only so many floats; a wider vertex would read past them.
  const int available = static_cast<int>(sizeof sprite.vertices / sizeof sprite.vertices[0]);
  if (f <= 0 || QUAD_VERTICES * f > available) return;
  size_t quadBytes = static_cast<size_t>(QUAD_VERTICES * f) * sizeof(GLfloat);

  // The capacity is implied by the quad count: 1 quad after the first append,
  // then doubled whenever the count is about to reach a power of two.
  int n = batch->triangles;
  if (n <= 1) {
    GLfloat* fresh = static_cast<GLfloat*>(malloc(quadBytes));
    if (!fresh) return;
    batch->data = fresh;
    n = 0;  // the first quad goes to the start of its one-quad buffer
  } else if (isPowerOfTwo(n / 2 + 1)) {
    size_t quads = 2 * static_cast<size_t>(n / 2 + 1);
    GLfloat* grown = static_cast<GLfloat*>(realloc(batch->data, quads * quadBytes));
    if (!grown) return;
    batch->data = grown;
  }
  memcpy(batch->data + static_cast<size_t>(f) * 3 * static_cast<size_t>(n), sprite.vertices,
         quadBytes);
  batch->triangles = n + 2;
}
}  // namespace sprites
