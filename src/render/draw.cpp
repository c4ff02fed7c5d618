// Drawing batches: GL state per draw call, vertex arrays (vertexstream.h),
// uniforms uploaded from the batch's set by what the program declares,
// consecutive batches that agree on everything joined into one draw call,
// finished batches drawn before the rest of their list exists, and release of
// batch-owned vertex memory after a frame's draws.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/log.h"
#include "render/glcheck.h"
#include "render/graphics.h"
#include "render/programinfo.h"
#include "render/screen.h"
#include "render/screenframe.h"
#include "render/vertexstream.h"

namespace {
bool merging = true;
unsigned long drawCalls = 0;

// Attributes would read vertices from a null pointer: such a batch draws
// nothing and changes no state. (An empty particle batch is one every frame.)
bool drawable(const Batch& batch) { return batch.data || batch.attributes.empty(); }

// Whether `next` can share `lead`'s draw call: the same state and values, no
// index arrays, and no clearing of the target between them. A clearing lead
// is fine: its target is cleared once, before the shared call.
bool joins(const Batch& lead, const Batch& next) {
  return !lead.indices && !next.indices && lead.triangles >= 0 && next.triangles >= 0 &&
         !next.clearTarget && next.program == lead.program &&
         next.enableDepthTest == lead.enableDepthTest &&
         next.enableBlending == lead.enableBlending && next.enableCulling == lead.enableCulling &&
         next.targetName == lead.targetName && next.attributes.sameAs(lead.attributes) &&
         next.uniforms.sameAs(lead.uniforms);
}

// The value a uniform is fed from. Vectors prefer the value named without the
// first two characters (u_tint from tint), but the full name must exist.
const UniformSet::Entry& valueFor(const UniformSet& values,
                                  const programinfo::ActiveUniform& uniform) {
  const UniformSet::Entry* full = values.find(uniform.id);
  if (!full)
    glcheck::fatal("Value for uniform %s is missing from batch data\n", uniform.name.c_str());
  if (uniform.shortForm)
    if (const UniformSet::Entry* shortened = values.find(uniform.shortId)) return *shortened;
  return *full;
}

// Whether every uniform the program reads has a value long enough, so that
// uploading logs nothing.
bool uploadsCleanly(const programinfo::Program& info, const UniformSet& values) {
  for (const programinfo::ActiveUniform& uniform : info.uniforms) {
    const UniformSet::Entry* full = values.find(uniform.id);
    if (!full) return false;
    const UniformSet::Entry& entry = valueFor(values, uniform);
    if (uniform.bytes != 0 && entry.size < uniform.bytes) return false;
  }
  return true;
}

void uploadUniforms(programinfo::Program& info, const UniformSet& values) {
  GLuint unit = 0;
  for (programinfo::ActiveUniform& uniform : info.uniforms) {
    const UniformSet::Entry& entry = valueFor(values, uniform);
    if (uniform.bytes == 0) continue;
    // A value shorter than its type would be read past its end: skip it and say so.
    if (entry.size < uniform.bytes) {
      DLOG(LogLevel::Warning, "Uniform %s holds %u bytes but its type needs %zu; not set\n",
           uniform.name.c_str(), entry.size, uniform.bytes);
      continue;
    }
    const void* value = values.value(entry);
    if (uniform.type == GL_SAMPLER_2D) {
      GLuint texture = 0;
      memcpy(&texture, value, sizeof texture);
      glActiveTexture(GL_TEXTURE0 + unit);
      glBindTexture(GL_TEXTURE_2D, texture);
      if (!uniform.held || memcmp(uniform.last, &unit, sizeof unit) != 0) {
        glUniform1i(uniform.location, static_cast<GLint>(unit));
        memcpy(uniform.last, &unit, sizeof unit);
        uniform.held = true;
      }
      ++unit;
      continue;
    }
    // The program keeps what it was given: the same bytes need no upload.
    if (uniform.held && memcmp(uniform.last, value, uniform.bytes) == 0) continue;
    const GLfloat* v = static_cast<const GLfloat*>(value);
    switch (uniform.type) {
      case GL_FLOAT:
        glUniform1f(uniform.location, v[0]);
        break;
      case GL_FLOAT_VEC2:
        glUniform2f(uniform.location, v[0], v[1]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_VEC3:
        glUniform3f(uniform.location, v[0], v[1], v[2]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_VEC4:
        glUniform4f(uniform.location, v[0], v[1], v[2], v[3]);
        glcheck::check("Set uniform");
        break;
      case GL_FLOAT_MAT4:
        glUniformMatrix4fv(uniform.location, 1, GL_FALSE, v);
        break;
    }
    memcpy(uniform.last, value, uniform.bytes);
    uniform.held = true;
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

// Back to the window after bindTarget bound a render target.
void restoreWindowTarget(const GLint viewport[4]) {
  glBindFramebuffer(GL_FRAMEBUFFER, gr_screenFrameBuffer());
  glViewport(0, 0, viewport[2], viewport[3]);
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

// The vertices of the batches in order, in one array: where they already are
// when each follows the one before in memory, else copied together.
const GLfloat* joinedVertices(Batch* const* group, size_t count, size_t stride) {
  bool adjacent = true;
  for (size_t k = 1; k < count && adjacent; ++k)
    adjacent = group[k]->data ==
               group[k - 1]->data + 3 * static_cast<size_t>(group[k - 1]->triangles) * stride;
  if (adjacent) return group[0]->data;
  static std::vector<GLfloat> joined;
  joined.clear();
  for (size_t k = 0; k < count; ++k) {
    const GLfloat* data = group[k]->data;
    joined.insert(joined.end(), data, data + 3 * static_cast<size_t>(group[k]->triangles) * stride);
  }
  return joined.data();
}

// Draws the first batches of `group` (drawable batches that join the first)
// with one call, and returns how many: all of them, unless uploading their
// uniforms logs something, which each batch then does on its own draw.
size_t drawGroup(Batch* const* group, size_t count) {
  Batch& lead = *group[0];
  GLint viewport[4] = {};
  if (gr_programFailed(lead.program)) {
    // Nothing is drawn, but the target is cleared as the batches after it expect.
    if (lead.clearTarget && bindTarget(lead, viewport)) restoreWindowTarget(viewport);
    return count;
  }
  setDepthTest(lead.enableDepthTest);
  bool restoreWindow = bindTarget(lead, viewport);
  if (lead.enableDepthTest && !restoreWindow) gr_prepareWindowDepth();
  gr_useProgram(lead.program);
  programinfo::Program& info = programinfo::of(lead.program);
  if (count > 1 && !uploadsCleanly(info, lead.uniforms)) count = 1;

  int stride = lead.getStride();
  size_t vertices = 0;
  for (size_t k = 0; k < count; ++k) vertices += 3 * static_cast<size_t>(group[k]->triangles);
  const GLfloat* data =
      count > 1 && stride > 0 ? joinedVertices(group, count, static_cast<size_t>(stride)) : lead.data;

  GLsizei byteStride = stride * static_cast<GLsizei>(sizeof(GLfloat));
  const void* source = vertexstream::vertices(data, static_cast<size_t>(stride), vertices,
                                              lead.indices, static_cast<size_t>(lead.indexCount));
  for (const AttributeSet::Entry& entry : lead.attributes) {
    GLint location = programinfo::attributeLocation(lead.program, info, entry.name);
    if (location < 0) continue;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glcheck::check("Enable attribute pointer");
    glVertexAttribPointer(static_cast<GLuint>(location),
                          static_cast<GLint>(entry.attribute.size), GL_FLOAT, GL_FALSE,
                          byteStride, vertexstream::at(source, entry.attribute.offset));
    glcheck::check("Bind attribute pointer");
  }

  if (lead.enableCulling)
    glEnable(GL_CULL_FACE);
  else
    glDisable(GL_CULL_FACE);
  glcheck::check("glCullFace");
  if (lead.enableBlending) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }

  uploadUniforms(info, lead.uniforms);

  if (lead.indices)
    glDrawElements(GL_TRIANGLES, lead.indexCount, GL_UNSIGNED_INT,
                   vertexstream::indices(lead.indices, static_cast<size_t>(lead.indexCount)));
  else
    glDrawArrays(GL_TRIANGLES, 0, count == 1 ? 3 * lead.triangles : static_cast<GLsizei>(vertices));
  ++drawCalls;
  glcheck::check("Draw");

  for (const AttributeSet::Entry& entry : lead.attributes) {
    GLint location = programinfo::attributeLocation(lead.program, info, entry.name);
    if (location >= 0) glDisableVertexAttribArray(static_cast<GLuint>(location));
  }

  if (restoreWindow) restoreWindowTarget(viewport);
  return count;
}

void drawAll(const std::vector<Batch*>& group) {
  for (size_t done = 0; done < group.size();)
    done += drawGroup(group.data() + done, group.size() - done);
}

// Draws batches [from, to) of the list in order, joining what joins.
void drawRange(BatchList& list, size_t from, size_t to) {
  static std::vector<Batch*> group;
  group.clear();
  for (size_t i = from; i < to; ++i) {
    Batch& batch = list[i];
    if (!drawable(batch)) continue;
    if (!group.empty() && !(merging && joins(*group[0], batch))) {
      drawAll(group);
      group.clear();
    }
    group.push_back(&batch);
  }
  if (!group.empty()) drawAll(group);
  group.clear();
}

// The batch seen from triangle `skip` on while this lives, its target cleared
// already with the first part; put back afterwards.
class TailOf {
 public:
  TailOf(Batch& batch, int skip)
      : batch_(batch), data_(batch.data), triangles_(batch.triangles), clears_(batch.clearTarget) {
    if (skip <= 0 || !batch.data) return;  // null stays null: nothing to draw
    batch.data += 3 * static_cast<size_t>(skip) * static_cast<size_t>(batch.getStride());
    batch.triangles -= skip;
    batch.clearTarget = false;
  }
  ~TailOf() {
    batch_.data = data_;
    batch_.triangles = triangles_;
    batch_.clearTarget = clears_;
  }
  TailOf(const TailOf&) = delete;
  TailOf& operator=(const TailOf&) = delete;

 private:
  Batch& batch_;
  GLfloat* data_;
  int triangles_;
  bool clears_;
};

// `drawn` moved past a batch it holds whole, so that drawing from it never
// starts with an empty rest.
DrawnPrefix pastWhole(const BatchList& list, DrawnPrefix drawn) {
  if (drawn.batch < list.size() && drawn.triangles > 0 &&
      drawn.triangles >= list.batches[drawn.batch].triangles)
    return {drawn.batch + 1, 0};
  return drawn;
}

// Draws the list from `drawn` up to batch `to`.
void drawFrom(BatchList& list, DrawnPrefix drawn, size_t to) {
  drawn = pastWhole(list, drawn);
  if (drawn.batch >= to) return;
  TailOf tail(list[drawn.batch], drawn.triangles);
  drawRange(list, drawn.batch, to);
}
}  // namespace

void gr_render(Batch* batch) {
  if (batch && drawable(*batch)) drawGroup(&batch, 1);
}

bool gr_renderFinished(BatchList& list, DrawnPrefix& drawn) {
  size_t end = list.size();
  if (end > 0 && list[end - 1].indices) --end;
  DrawnPrefix from = pastWhole(list, drawn);
  for (size_t i = from.batch; i < end; ++i) {
    const Batch& batch = list[i];
    if (drawable(batch) && (batch.program == 0 ||
                            !uploadsCleanly(programinfo::of(batch.program), batch.uniforms)))
      return false;
  }
  if (from.batch >= end) return true;
  drawFrom(list, from, end);
  const Batch& last = list[end - 1];
  drawn = last.indices ? DrawnPrefix{end, 0} : DrawnPrefix{end - 1, last.triangles};
  glFlush();
  return true;
}

void gr_renderBatches(std::vector<BatchList>& batchMatrix) {
  gr_renderBatchesAfter(batchMatrix, DrawnPrefix{});
}

void gr_renderBatchesAfter(std::vector<BatchList>& batchMatrix, const DrawnPrefix& firstDrawn) {
  for (size_t k = 0; k < batchMatrix.size(); ++k)
    drawFrom(batchMatrix[k], k == 0 ? firstDrawn : DrawnPrefix{}, batchMatrix[k].size());

  // Owned blocks are released after every batch is drawn, each once, so a block
  // that a careless pass put into two batches is neither read after release nor
  // released twice.
  static std::vector<void*> owned;
  owned.clear();
  for (BatchList& list : batchMatrix)
    for (Batch& batch : list) {
      if (!batch.freeData) continue;
      owned.push_back(batch.data);
      owned.push_back(batch.indices);
      batch.data = nullptr;
      batch.indices = nullptr;
      batch.freeData = false;
    }
  std::sort(owned.begin(), owned.end());
  owned.erase(std::unique(owned.begin(), owned.end()), owned.end());
  for (void* block : owned) free(block);
}

void gr_testrender() {
  static const GLfloat vertices[] = {-1, -1, 0, 1, -1, 0, 0, 1, 0};
  static const GLuint indices[] = {0, 1, 2};
  if (gr_programFailed(testProgramID)) return;
  gr_useProgram(testProgramID);
  glEnableVertexAttribArray(0);
  glcheck::check("Enable vertex array");
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, vertexstream::vertices(vertices, 3, 3));
  glcheck::check("Set vertex attribute pointer");
  glDrawElements(GL_TRIANGLES, 3, GL_UNSIGNED_INT, vertexstream::indices(indices, 3));
  glcheck::check("Draw elements");
  glDisableVertexAttribArray(0);
  glcheck::check("Disable vertex array");
}

void gr_setDrawMerging(bool enabled) { merging = enabled; }

bool gr_drawMerging() { return merging; }

unsigned long gr_drawCalls() { return drawCalls; }
