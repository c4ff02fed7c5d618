// Vertex and index sources: the batch's own memory where GL reads client
// arrays, or one stream buffer of each kind refilled for every draw.
#include "render/vertexstream.h"

#include <algorithm>
#include <cstdint>

#include "render/glcapabilities.h"

namespace vertexstream {
namespace {
// Read once: the draws ask for every batch.
const bool streamed = glcapabilities::current().streamBuffersNeeded;

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
  if (!streamed) return data;
  if (indices)
    count = indexCount == 0 ? 0 : size_t{*std::max_element(indices, indices + indexCount)} + 1;
  streamBuffer(GL_ARRAY_BUFFER, data, count * stride * sizeof(GLfloat));
  return nullptr;
}

const void* indices(const GLuint* indices, size_t count) {
  if (!streamed) return indices;
  streamBuffer(GL_ELEMENT_ARRAY_BUFFER, indices, count * sizeof(GLuint));
  return nullptr;
}

const void* at(const void* base, size_t floats) {
  return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) +
                                       floats * sizeof(GLfloat));
}
}  // namespace vertexstream
