// Uniform values made or changed by scripts. A script can only offer a pointer
// whose length the binding rarely knows, so a record never adopts it (it would
// later free memory it does not own). Instead the record owns a malloc'd buffer
// of exactly `size` bytes (none for size 0), filled from the given bytes as far
// as their length is known and zero beyond.
#pragma once

#include <cstddef>

#include "render/graphics.h"

namespace uniforms {

// A record of `size` bytes taken from the first `known` bytes of `value`.
Uniform copied(size_t size, const void* value, size_t known);
// Replaces the record's bytes the same way, keeping its size.
void assign(Uniform& uniform, const void* value, size_t known);
// Gives the record `size` bytes, keeping the ones it had and zeroing the rest,
// so its size never claims more than its buffer holds.
void resize(Uniform& uniform, size_t size);

}  // namespace uniforms
