// The coloured vertex every sprite, particle and text quad is made of: the one
// layout the "ptc" and "text" shaders read.
//
//   float   0   1   2   3   4   5   6   7   8
//         | x   y   z | u   v | r   g   b   a |
//           in_position in_uv   in_color
//
// 36 bytes, no padding, vertices packed one after another (a batch's stride is
// FLOATS). `Coloured` is the same vertex as a record, copied in whole.
#pragma once

#include <cstddef>

#include "render/graphics.h"

namespace vertex {
const int FLOATS = 9;
// First float of each attribute within a vertex.
const int POSITION = 0, UV = 3, COLOR = 5;

struct Coloured {
  float position[3];
  float uv[2];
  float color[4];
};
static_assert(sizeof(Coloured) == FLOATS * sizeof(float), "no padding between vertices");
static_assert(offsetof(Coloured, position) == POSITION * sizeof(float), "position first");
static_assert(offsetof(Coloured, uv) == UV * sizeof(float), "uv after the position");
static_assert(offsetof(Coloured, color) == COLOR * sizeof(float), "colour after the uv");

// Declares the layout as a batch's attributes.
inline void describe(AttributeSet& attributes) {
  static const NameId IN_POSITION = gr_nameId("in_position"), IN_UV = gr_nameId("in_uv"),
                      IN_COLOR = gr_nameId("in_color");
  attributes.set(IN_POSITION, {3, POSITION});
  attributes.set(IN_UV, {2, UV});
  attributes.set(IN_COLOR, {4, COLOR});
}
}  // namespace vertex
