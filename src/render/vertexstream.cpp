// Vertex and index sources: the batch's own memory where GL reads client
// arrays, or one stream buffer of each kind refilled for every draw.
#include "render/vertexstream.h"

#include <algorithm>
#include <cstdint>

namespace vertexstream {
#ifdef __EMSCRIPTEN__
namespace {
// Filled anew for every draw: the data lives one draw long.
GLuint streamBuffer(GLenum target, const void* data, size_t bytes) {
  static GLuint buffers[2] = {};
  GLuint& buffer = buffers[target == GL_ELEMENT_ARRAY_BUFFER ? 1 : 0];
  if (!buffer) glGenBuffers(1, &buffer);
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STREAM_DRAW);
  return buffer;
}
}  // namespace

const void* vertices(const GLfloat* data, size_t stride, size_t count, const GLuint* indices,
                     size_t indexCount) {
  if (indices)
    count = indexCount == 0 ? 0 : size_t{*std::max_element(indices, indices + indexCount)} + 1;
  streamBuffer(GL_ARRAY_BUFFER, data, count * stride * sizeof(GLfloat));
  return nullptr;
}

const void* indices(const GLuint* indices, size_t count) {
  streamBuffer(GL_ELEMENT_ARRAY_BUFFER, indices, count * sizeof(GLuint));
  return nullptr;
}
#else
const void* vertices(const GLfloat* data, size_t, size_t, const GLuint*, size_t) { return data; }

const void* indices(const GLuint* indices, size_t) { return indices; }
#endif

const void* at(const void* base, size_t floats) {
  return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) +
                                       floats * sizeof(GLfloat));
}
}  // namespace vertexstream
