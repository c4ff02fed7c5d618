// Batch records and their drawing: GL state per batch, client-memory vertex
// arrays, uniforms uploaded from the batch's map by the program's active
// uniforms, and release of batch-owned vertex memory after a frame's draws.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "core/log.h"
#include "render/glcheck.h"
#include "render/graphics.h"
#include "render/screenframe.h"

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

int Batch::getStride() {
  int floats = 0;
  for (auto& entry : attributes) floats += static_cast<int>(entry.second.size);
  return floats;
}

namespace {
const size_t UNIFORM_NAME_BUFFER = 100;


// Bytes a uniform of this GLSL type reads; 0 for types that are not uploaded.
size_t bytesFor(GLenum type) {
  switch (type) {
    case GL_FLOAT: return 4;
    case GL_FLOAT_VEC2: return 8;
    case GL_FLOAT_VEC3: return 12;
    case GL_FLOAT_VEC4: return 16;
    case GL_FLOAT_MAT4: return 64;
    case GL_SAMPLER_2D: return sizeof(GLuint);
    default: return 0;
  }
}

// The entry a uniform is fed from. Vectors prefer the entry named without the
// first two characters (u_tint is fed from tint), but the full name must exist.
const Uniform& entryFor(Batch& batch, const char* name, GLenum type) {
  auto full = batch.uniforms.find(name);
  if (full == batch.uniforms.end())
    glcheck::fatal("Value for uniform %s is missing from batch data\n", name);
  bool vector = type == GL_FLOAT_VEC2 || type == GL_FLOAT_VEC3 || type == GL_FLOAT_VEC4;
  if (vector && strlen(name) >= 2) {
    auto shortened = batch.uniforms.find(name + 2);
    if (shortened != batch.uniforms.end()) return shortened->second;
  }
  return full->second;
}

void uploadUniforms(Batch& batch) {
  GLint count = 0;
  glGetProgramiv(batch.program, GL_ACTIVE_UNIFORMS, &count);
  GLuint unit = 0;
  for (GLint index = 0; index < count; ++index) {
    char name[UNIFORM_NAME_BUFFER] = {};
    GLsizei length = 0;
    GLint arraySize = 0;
    GLenum type = 0;
    glGetActiveUniform(batch.program, static_cast<GLuint>(index), sizeof name, &length,
                       &arraySize, &type, name);
    name[length] = '\0';
    const Uniform& entry = entryFor(batch, name, type);
    GLint location = glGetUniformLocation(batch.program, name);

    // A value shorter than its type would be read past its end: skip it and say so.
    size_t needed = bytesFor(type);
    if (needed == 0) continue;
    if (!entry.value || entry.size < needed) {
      DLOG("Uniform %s holds %zu bytes but its type needs %zu; not set\n", name,
           entry.value ? entry.size : 0, needed);
      continue;
    }
    const GLfloat* v = static_cast<const GLfloat*>(entry.value);
    switch (type) {
      case GL_FLOAT:
        glUniform1f(location, v[0]);
        break;
      case GL_FLOAT_VEC2:
        glUniform2f(location, v[0], v[1]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_VEC3:
        glUniform3f(location, v[0], v[1], v[2]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_VEC4:
        glUniform4f(location, v[0], v[1], v[2], v[3]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_MAT4:
        glUniformMatrix4fv(location, 1, GL_FALSE, v);
        break;
      case GL_SAMPLER_2D: {
        GLuint texture = 0;
        memcpy(&texture, entry.value, sizeof texture);
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1i(location, static_cast<GLint>(unit));
        ++unit;
        break;
      }
    }
  }
}

// Binds the batch's target if it names one; true when the window must be
// rebound afterwards, with the window viewport saved in `viewport`.
bool bindTarget(const Batch& batch, GLint viewport[4]) {
  const RenderTarget* target =
      batch.targetName.empty() ? nullptr : gr_getRenderTarget(batch.targetName);
  if (!target) {
    glBindFramebuffer(GL_FRAMEBUFFER, gr_screenFrameBuffer());
    glcheck::check("glBindFramebuffer");
    return false;
  }
  glGetIntegerv(GL_VIEWPORT, viewport);
  glcheck::check("glGetIntegerv");
  glBindFramebuffer(GL_FRAMEBUFFER, target->frameBuffer);
  if (batch.clearTarget) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glViewport(0, 0, target->width, target->height);
  glcheck::check("glViewport");
  return true;
}

void setDepthTest(bool enabled) {
  if (!enabled) {
    glDisable(GL_DEPTH_TEST);
    glcheck::check("glDisable");
    return;
  }
  glEnable(GL_DEPTH_TEST);
  glcheck::check("glEnable");
  glDepthFunc(GL_LEQUAL);
  glcheck::check("glDepthFunc");
  glClearDepth(1.0);
  glcheck::check("glClearDepth");
}
}  // namespace

void gr_render(Batch* batch) {
  // Attributes would read vertices from a null pointer: nothing can be drawn.
  // (An empty particle batch is such a batch every frame, so this is quiet.)
  if (!batch || (!batch->data && !batch->attributes.empty())) return;

  setDepthTest(batch->enableDepthTest);
  GLint viewport[4] = {};
  bool restoreWindow = bindTarget(*batch, viewport);
  gr_useProgram(batch->program);

  int count = batch->indices ? batch->indexCount : 3 * batch->triangles;
  std::vector<unsigned int> generated;
  if (!batch->indices && count > 0) {
    generated.resize(static_cast<size_t>(count));
    std::iota(generated.begin(), generated.end(), 0u);
  }
  const unsigned int* indices = batch->indices ? batch->indices : generated.data();

  GLsizei byteStride = batch->getStride() * static_cast<GLsizei>(sizeof(GLfloat));
  for (auto& entry : batch->attributes) {
    GLint location = glGetAttribLocation(batch->program, entry.first.c_str());
    if (location < 0) continue;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glcheck::check("Enable attribute pointer");
    glVertexAttribPointer(static_cast<GLuint>(location), static_cast<GLint>(entry.second.size),
                          GL_FLOAT, GL_FALSE, byteStride, batch->data + entry.second.offset);
    glcheck::check("Bind attribute pointer");
  }

  if (batch->enableCulling)
    glEnable(GL_CULL_FACE);
  else
    glDisable(GL_CULL_FACE);
  glcheck::check("glCullFace");
  if (batch->enableBlending) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }

  uploadUniforms(*batch);

  glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, indices);
  glcheck::check("Draw");

  for (auto& entry : batch->attributes) {
    GLint location = glGetAttribLocation(batch->program, entry.first.c_str());
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
  }

  if (restoreWindow) {
    glBindFramebuffer(GL_FRAMEBUFFER, gr_screenFrameBuffer());
    glViewport(0, 0, viewport[2], viewport[3]);
  }
}

void gr_renderBatches(BatchMatrix batchMatrix) {
  // Owned blocks are released after every batch is drawn, each once, so a block
  // that a careless pass put into two batches is neither read after release nor
  // released twice.
  std::vector<void*> owned;
  for (auto& deque : batchMatrix)
    for (auto& batch : deque) {
      gr_render(&batch);
      if (!batch.freeData) continue;
      owned.push_back(batch.data);
      owned.push_back(batch.indices);
    }
  std::sort(owned.begin(), owned.end());
  owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
  for (void* block : owned) free(block);
}

void gr_testrender() {
  static const GLfloat vertices[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  static const GLuint indices[] = {0, 1, 2};
  gr_useProgram(testProgramID);
  glEnableVertexAttribArray(0);
  glcheck::check("Enable vertex array");
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, vertices);
  glcheck::check("Set vertex attribute pointer");
  glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_INT, indices);
  glcheck::check("Draw elements");
  glDisableVertexAttribArray(0);
  glcheck::check("Disable vertex array");
}
