// Batch records and their drawing. (Drawing arrives with the renderer.)
#include <cstdlib>
#include <cstring>
#include <utility>

#include "render/graphics.h"

Uniform::Uniform() : size(0), value(nullptr) {}
Uniform::Uniform(size_t size, void* value) : size(size), value(value) {}
Uniform::Uniform(const Uniform& other) : size(other.size), value(nullptr) {
  if (other.value && size) {
    value = malloc(size);
    memcpy(value, other.value, size);
  }
}
Uniform::Uniform(Uniform&& other) noexcept : size(other.size), value(other.value) {
  other.size = 0;
  other.value = nullptr;
}
Uniform& Uniform::operator=(const Uniform& other) {
  if (this != &other) {
    Uniform copy(other);
    *this = std::move(copy);
  }
  return *this;
}
Uniform& Uniform::operator=(Uniform&& other) noexcept {
  std::swap(size, other.size);
  std::swap(value, other.value);
  return *this;
}
Uniform::~Uniform() { free(value); }

int Batch::getStride() {
  int stride = 0;
  for (auto& entry : attributes) stride += static_cast<int>(entry.second.size);
  return stride;
}

void gr_render(Batch*) {}

void gr_renderBatches(BatchMatrix batchMatrix) {
  for (auto& deque : batchMatrix)
    for (auto& batch : deque) {
      gr_render(&batch);
      if (batch.freeData) {
        free(batch.data);
        free(batch.indices);
      }
    }
}

void gr_testrender() {}
