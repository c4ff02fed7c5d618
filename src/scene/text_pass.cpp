// The text pass: glyph quads from the layout, into batches that runs of text
// nodes share.
#include "scene/text_pass.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "assets/textlayout.h"
#include "render/sheets.h"
#include "scene/cameras.h"
#include "scene/renderutils.h"
#include "scene/transforms.h"

namespace textpass {
namespace {
const int FLOATS_PER_VERTEX = 9;  // in_position (3), in_uv (2), in_color (4)
const size_t FLOATS_PER_GLYPH = 4 * FLOATS_PER_VERTEX;
const size_t INDICES_PER_GLYPH = 6;
// A glyph's corners, lower-left, lower-right, upper-left, upper-right, each as
// (right side?, top side?), and its two triangles over them.
const int CORNERS[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
const unsigned int TRIANGLES[INDICES_PER_GLYPH] = {0, 3, 2, 0, 1, 3};
const float DEFAULT_SIZE = 16;

using Uniforms = UniformSet;

// The node fields the pass reads besides `text` and its uniforms.
struct NodeFields {
  std::string layer, font, align, valign;
  float size = DEFAULT_SIZE;
  float maxWidth = 0;
  bool uniforms = true;  // the node may have "u_" fields or a `uniforms` table
};

// Stores the resolved value on top of the stack into the field named `key`.
void storeField(lua_State* L, const char* key, size_t length, NodeFields& fields) {
  std::string* text = nullptr;
  float* number = nullptr;
  switch (length) {
    case 4:
      if (memcmp(key, "font", 4) == 0) text = &fields.font;
      if (memcmp(key, "size", 4) == 0) number = &fields.size;
      break;
    case 5:
      if (memcmp(key, "layer", 5) == 0) text = &fields.layer;
      if (memcmp(key, "align", 5) == 0) text = &fields.align;
      break;
    case 6:
      if (memcmp(key, "valign", 6) == 0) text = &fields.valign;
      break;
    case 8:
      if (memcmp(key, "maxWidth", 8) == 0) number = &fields.maxWidth;
      break;
  }
  int type = lua_type(L, -1);
  if (text && (type == LUA_TSTRING || type == LUA_TNUMBER)) *text = lua_tostring(L, -1);
  if (number && lua_isnumber(L, -1)) *number = static_cast<float>(lua_tonumber(L, -1));
}

// Reads the fields as getString and getNumber would, one by one, but in one
// walk over the node's entries: text nodes read several fields and are many.
// A node with a metatable may have fields from elsewhere and is read field by
// field.
void readFields(lua_State* L, NodeFields& fields) {
  if (lua_getmetatable(L, -1)) {
    lua_pop(L, 1);
    getString(L, "layer", fields.layer);
    getString(L, "font", fields.font);
    getString(L, "align", fields.align);
    getString(L, "valign", fields.valign);
    getNumber<float>(L, "size", &fields.size);
    getNumber<float>(L, "maxWidth", &fields.maxWidth);
    return;
  }
  int node = lua_gettop(L);
  fields.uniforms = false;
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    size_t length = 0;
    if (lua_type(L, -2) == LUA_TSTRING) {
      const char* key = lua_tolstring(L, -2, &length);
      if (length >= 2 && key[0] == 'u' && (key[1] == '_' || strcmp(key, "uniforms") == 0))
        fields.uniforms = true;
      if (length >= 4 && length <= 8) {
        lua_pushvalue(L, -1);  // resolved as a copy: the entry belongs to lua_next
        luautils::resolveTop(L, node, key);
        storeField(L, key, length, fields);
        lua_pop(L, 1);
      }
    }
    lua_pop(L, 1);
  }
}

// The batch a camera's text went into last, while more glyphs may join it.
struct OpenBatch {
  Batch* batch = nullptr;
  size_t dequeSize = 0;  // the camera's list size when the batch was its last
  size_t capacity = 0;   // glyphs its blocks have room for
  int texture = 0;       // its glyph sheet's: names outlive sheets a script clears
  Uniforms uniforms;     // the node uniforms it was made with, colour left out
};

// Moves the node's `color` uniform out of `uniforms` into `colour`; components
// it lacks keep theirs.
void takeColour(Uniforms& uniforms, float colour[4]) {
  static const NameId COLOR = gr_nameId("color");
  const UniformSet::Entry* found = uniforms.find(COLOR);
  if (!found) return;
  size_t count = std::min<size_t>(found->size / sizeof(float), 4);
  memcpy(colour, uniforms.value(*found), count * sizeof(float));
  uniforms.erase(COLOR);
}

// Appends the glyph's four corners and six indices; the blocks have room.
void writeGlyph(Batch& batch, const textlayout::Placed& placed, const glm::mat4& transform,
                const float colour[4]) {
  const resources::Glyph& glyph = *placed.glyph;
  const resources::Sprite& sprite = glyph.sprite;
  float left = placed.x + static_cast<float>(glyph.left);
  float top = placed.y + static_cast<float>(glyph.top);
  const float xs[2] = {left, left + static_cast<float>(sprite.width)};
  const float ys[2] = {top - static_cast<float>(sprite.height), top};
  const float us[2] = {sprite.uv[0][0], sprite.uv[2][0]};
  const float vs[2] = {sprite.uv[2][1], sprite.uv[0][1]};  // the picture's top row on top

  size_t glyphs = static_cast<size_t>(batch.indexCount) / INDICES_PER_GLYPH;
  GLfloat* vertex = batch.data + glyphs * FLOATS_PER_GLYPH;
  for (const int* corner : CORNERS) {
    glm::vec4 at = transform * glm::vec4(xs[corner[0]], ys[corner[1]], 0, 1);
    vertex[0] = at.x;
    vertex[1] = at.y;
    vertex[2] = at.z;
    vertex[3] = us[corner[0]];
    vertex[4] = vs[corner[1]];
    memcpy(vertex + 5, colour, 4 * sizeof(float));
    vertex += FLOATS_PER_VERTEX;
  }
  unsigned int first = static_cast<unsigned int>(glyphs * 4);
  for (unsigned int corner : TRIANGLES) batch.indices[batch.indexCount++] = first + corner;
}

// Makes room for `capacity` glyphs in the batch's blocks; false when the
// memory is not there (the blocks stay as they were, and the batch's).
bool reserve(Batch& batch, size_t capacity) {
  void* data = realloc(batch.data, capacity * FLOATS_PER_GLYPH * sizeof(GLfloat));
  if (!data) return false;
  batch.data = static_cast<GLfloat*>(data);
  void* indices = realloc(batch.indices, capacity * INDICES_PER_GLYPH * sizeof(unsigned int));
  if (!indices) return false;
  batch.indices = static_cast<unsigned int*>(indices);
  return true;
}

struct NodeHandler {
  BatchMatrix* batchMatrix;
  bool enableDepthTest;
  bool clearTarget;
  cameras::Camera camera;
  std::shared_ptr<OpenBatch> open;

  void operator()(lua_State* L) const {
    static const nodefields::Key TEXT("text");
    std::string content;
    if (!getString(L, nodefields::entered(), TEXT, content) || content.empty()) return;
    NodeFields fields;
    readFields(L, fields);
    if (fields.layer != camera.layer) return;
    glyphcache::Face* face = glyphcache::face(fields.font, fields.size);
    if (!face) return;
    static std::vector<textlayout::Placed> placed;  // reused: one thread, no nesting
    textlayout::layout(*face, content, fields.maxWidth, textlayout::alignNamed(fields.align),
                       textlayout::valignNamed(fields.valign), placed);
    if (placed.empty()) return;
    gr_uploadTextSheets();

    Uniforms uniforms;
    if (fields.uniforms) uniforms = renderutils::getUniforms(L);
    float colour[4] = {1, 1, 1, 1};
    takeColour(uniforms, colour);
    renderutils::warnUnusedUniforms("text", "text", uniforms);
    glm::mat4 transform = transforms::getTransform(L);
    // One batch per sheet among the node's glyphs, nearly always just one.
    static std::vector<const resources::Sheet*> sheets;
    sheets.clear();
    for (const textlayout::Placed& glyph : placed)
      if (std::find(sheets.begin(), sheets.end(), glyph.glyph->sprite.sheet) == sheets.end())
        sheets.push_back(glyph.glyph->sprite.sheet);
    for (const resources::Sheet* sheet : sheets) {
      auto onSheet = [sheet](const textlayout::Placed& glyph) {
        return glyph.glyph->sprite.sheet == sheet;
      };
      size_t count = static_cast<size_t>(std::count_if(placed.begin(), placed.end(), onSheet));
      Batch* batch = batchFor(sheet, uniforms, count);
      if (!batch) continue;
      for (const textlayout::Placed& glyph : placed)
        if (onSheet(glyph)) writeGlyph(*batch, glyph, transform, colour);
    }
  }

  // The camera's open batch if the glyphs may join it, else a new one; with
  // room for `glyphs` more. Null when the memory is not there.
  Batch* batchFor(const resources::Sheet* sheet, const Uniforms& uniforms, size_t glyphs) const {
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    OpenBatch& last = *open;
    // Another batch added since would have moved the list's batches: the size
    // is compared before the address.
    bool joins = last.batch && list.size() == last.dequeSize && &list.back() == last.batch &&
                 last.texture == sheet->texture && last.uniforms.sameAs(uniforms);
    if (!joins) {
      Batch& batch = list.add();
      fill(batch, sheet, uniforms);
      last.batch = &batch;
      last.dequeSize = list.size();
      last.capacity = 0;
      last.texture = sheet->texture;
      last.uniforms = uniforms;
    }
    size_t needed = static_cast<size_t>(last.batch->indexCount) / INDICES_PER_GLYPH + glyphs;
    if (needed > last.capacity) {
      size_t capacity = std::max(needed, last.capacity * 2);
      if (!reserve(*last.batch, capacity)) return nullptr;
      last.capacity = capacity;
    }
    return last.batch;
  }

  void fill(Batch& batch, const resources::Sheet* sheet, const Uniforms& uniforms) const {
    batch.freeData = true;
    batch.uniforms = uniforms;
    // For shaders of the game's own that tint with a `color` uniform too.
    const float white[4] = {1, 1, 1, 1};
    renderutils::addCopy(batch.uniforms, "color", white, sizeof white);
    renderutils::addCopy(batch.uniforms, "projection", glm::value_ptr(camera.projection),
                         sizeof camera.projection);
    GLuint texture = static_cast<GLuint>(sheet->texture);
    renderutils::addCopy(batch.uniforms, "textureSampler", &texture, sizeof texture);
    batch.attributes.set("in_position", {3, 0});
    batch.attributes.set("in_uv", {2, 3});
    batch.attributes.set("in_color", {4, 5});
    batch.program = gr_getProgram("text", "text");
    batch.targetName = camera.target;
    batch.clearTarget = clearTarget;
    batch.enableDepthTest = enableDepthTest;
    batch.enableBlending = true;
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    cameras::Switches switches = cameras::readSwitches(L);
    enter.push_back(NodeHandler{&batchMatrix, switches.depthTest, switches.clearTarget, camera,
                                std::make_shared<OpenBatch>()});
  });
}
}  // namespace textpass
