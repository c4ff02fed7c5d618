// Where a draw's vertices and indices are read from: client memory on the
// desktop; on a page (WebGL reads buffers only) buffers they are copied into.
#pragma once

#include <cstddef>

#include "render/gl.h"

namespace vertexstream {
// The address attribute pointers start from for `vertices` vertices of
// `stride` floats at `data`. An indexed draw passes its indices, which say how
// many vertices it reads.
const void* vertices(const GLfloat* data, size_t stride, size_t vertices,
                     const GLuint* indices = nullptr, size_t indexCount = 0);
// The address glDrawElements reads `count` indices from.
const void* indices(const GLuint* indices, size_t count);
// `base` moved on by `floats` floats, for one attribute of the vertices.
const void* at(const void* base, size_t floats);
}  // namespace vertexstream
