// Script-side uniform values: every buffer is the record's own.
#include "bindings/uniforms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace uniforms {
namespace {
// A zeroed buffer of `size` bytes starting with up to `known` bytes of
// `source`; null for size 0 or when the allocation fails.
void* filled(size_t size, const void* source, size_t known) {
  if (size == 0) return nullptr;
  void* buffer = std::calloc(size, 1);
  if (buffer && source) std::memcpy(buffer, source, std::min(size, known));
  return buffer;
}
}  // namespace

Uniform copied(size_t size, const void* value, size_t known) {
  return Uniform(size, filled(size, value, known));
}

void assign(Uniform& uniform, const void* value, size_t known) {
  void* buffer = filled(uniform.size, value, known);
  std::free(uniform.value);
  uniform.value = buffer;
}

void resize(Uniform& uniform, size_t size) {
  void* buffer = filled(size, uniform.value, uniform.value ? uniform.size : 0);
  std::free(uniform.value);
  uniform.value = buffer;
  uniform.size = size;
}

}  // namespace uniforms
