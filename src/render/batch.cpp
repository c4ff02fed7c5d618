// The batch records: Uniform, the attribute and uniform sets of a batch, the
// batch itself and the pooled per-camera list with its vertex memory.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "render/graphics.h"

namespace {
// The smallest vertex block: a few hundred rectangles' worth.
const size_t MIN_BLOCK_FLOATS = 16384;
const size_t WORD = sizeof(std::uint32_t);
}  // namespace

Uniform::Uniform() : size(0), value(nullptr) {}
Uniform::Uniform(size_t bytes, void* buffer) : size(bytes), value(buffer) {}
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
// Swapping hands the old buffer to `other`, whose destructor frees it.
Uniform& Uniform::operator=(Uniform&& other) noexcept {
  std::swap(size, other.size);
  std::swap(value, other.value);
  return *this;
}
Uniform::~Uniform() { free(value); }

bool AttributeSet::set(NameId name, Attribute attribute) {
  for (int i = 0; i < count; ++i)
    if (entries[i].name == name) {
      entries[i].attribute = attribute;
      return true;
    }
  if (count == MAX_ATTRIBUTES) return false;
  entries[count++] = Entry{name, attribute};
  return true;
}

bool AttributeSet::set(const std::string& name, Attribute attribute) {
  return set(gr_nameId(name), attribute);
}

bool AttributeSet::sameAs(const AttributeSet& other) const {
  if (count != other.count) return false;
  for (int i = 0; i < count; ++i) {
    const Entry& a = entries[i];
    const Entry& b = other.entries[i];
    if (a.name != b.name || a.attribute.size != b.attribute.size ||
        a.attribute.offset != b.attribute.offset)
      return false;
  }
  return true;
}

void UniformSet::set(NameId name, const void* value, size_t size) {
  if (!value) size = 0;
  size_t needed = (size + WORD - 1) / WORD;
  for (Entry& entry : entries) {
    if (entry.name != name) continue;
    // A value of another length goes to the end; the old words stay unused.
    if ((entry.size + WORD - 1) / WORD != needed) {
      entry.offset = static_cast<unsigned>(words.size());
      words.resize(words.size() + needed);
    }
    entry.size = static_cast<unsigned>(size);
    if (size) {
      words[entry.offset + needed - 1] = 0;  // the padding of a partial last word
      memcpy(words.data() + entry.offset, value, size);
    }
    return;
  }
  unsigned offset = static_cast<unsigned>(words.size());
  words.resize(words.size() + needed);
  if (size) {
    words.back() = 0;
    memcpy(words.data() + offset, value, size);
  }
  entries.push_back(Entry{name, offset, static_cast<unsigned>(size)});
}

void UniformSet::set(const std::string& name, const void* value, size_t size) {
  set(gr_nameId(name), value, size);
}

void UniformSet::set(const std::string& name, const Uniform& uniform) {
  set(gr_nameId(name), uniform.value, uniform.size);
}

void UniformSet::erase(NameId name) {
  for (auto entry = entries.begin(); entry != entries.end(); ++entry)
    if (entry->name == name) {
      entries.erase(entry);
      return;
    }
}

const UniformSet::Entry* UniformSet::find(NameId name) const {
  for (const Entry& entry : entries)
    if (entry.name == name) return &entry;
  return nullptr;
}

const UniformSet::Entry* UniformSet::find(const std::string& name) const {
  return find(gr_nameId(name));
}

void UniformSet::clear() {
  entries.clear();
  words.clear();
}

bool UniformSet::sameAs(const UniformSet& other) const {
  if (entries.size() != other.entries.size()) return false;
  if (entries.empty()) return true;  // empty vectors may hold no storage to compare
  // Sets built alike have their values at the same places: one comparison.
  if (words.size() == other.words.size() &&
      memcmp(entries.data(), other.entries.data(), entries.size() * sizeof(Entry)) == 0 &&
      memcmp(words.data(), other.words.data(), words.size() * WORD) == 0)
    return true;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& a = entries[i];
    const Entry& b = other.entries[i];
    if (a.name != b.name || a.size != b.size || memcmp(value(a), other.value(b), a.size) != 0)
      return false;
  }
  return true;
}

int Batch::getStride() const {
  int floats = 0;
  for (const AttributeSet::Entry& entry : attributes) floats += static_cast<int>(entry.attribute.size);
  return floats;
}

void Batch::reset() {
  data = nullptr;
  indices = nullptr;
  indexCount = 0;
  triangles = 0;
  std::fill(attributeSizes, attributeSizes + MAX_ATTRIBUTES, 0);
  attributes.count = 0;
  stride = 0;
  freeData = false;
  program = 0;
  uniforms.clear();
  targetName.clear();
  layerName.clear();
  enableDepthTest = false;
  enableBlending = false;
  enableCulling = false;
  clearTarget = false;
}

Batch& BatchList::add() {
  if (count == batches.size()) {
    batches.emplace_back();
    return batches[count++];
  }
  Batch& batch = batches[count++];
  batch.reset();
  return batch;
}

GLfloat* BatchList::vertices(size_t floats) {
  if (block < blocks.size() && used + floats <= blocks[block].size()) {
    GLfloat* room = blocks[block].data() + used;
    used += floats;
    return room;
  }
  // The next block, made large enough; the ones after `block` are unused.
  if (!blocks.empty()) ++block;
  if (block == blocks.size()) blocks.emplace_back();
  std::vector<GLfloat>& fresh = blocks[block];
  if (fresh.size() < floats)
    fresh.assign(std::max({floats, MIN_BLOCK_FLOATS, block > 0 ? 2 * blocks[block - 1].size() : 0}),
                 0.0f);
  used = floats;
  return fresh.data();
}

void BatchList::clear() {
  if (block > 0) {
    size_t total = 0;
    for (size_t i = 0; i <= block; ++i) total += blocks[i].size();
    blocks.assign(1, std::vector<GLfloat>(total, 0.0f));
  }
  block = 0;
  used = 0;
  count = 0;
}
