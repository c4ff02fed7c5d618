// The text pass: glyph quads from the layout, into batches that runs of text
// nodes share.
#include "scene/text_pass.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "assets/textlayout.h"
#include "core/runstate.h"
#include "render/sheets.h"
#include "scene/cameras.h"
#include "scene/renderutils.h"
#include "scene/transforms.h"
#include "scene/vertex.h"

namespace textpass {
namespace {
const size_t VERTICES_PER_GLYPH = 4;
const size_t FLOATS_PER_GLYPH = VERTICES_PER_GLYPH * vertex::FLOATS;
const size_t INDICES_PER_GLYPH = 6;
// A glyph's corners, lower-left, lower-right, upper-left, upper-right, each as
// (right side?, top side?), and its two triangles over them.
const int CORNERS[VERTICES_PER_GLYPH][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
const unsigned int TRIANGLES[INDICES_PER_GLYPH] = {0, 3, 2, 0, 1, 3};
const float DEFAULT_SIZE = 16;

const nodefields::Key TEXT("text"), FONT("font"), SIZE("size"), ALIGN("align"),
    VALIGN("valign"), MAX_WIDTH("maxWidth");

using Uniforms = UniformSet;

// The node's text fields besides `text`, `layer` and its uniforms, read from
// its snapshot. The strings are reused from node to node: one thread, and no
// handler runs inside another.
struct NodeFields {
  std::string font, align, valign;
  float size = DEFAULT_SIZE;
  float maxWidth = 0;

  void read(lua_State* L, const nodefields::Snapshot* node) {
    font.clear();
    align.clear();
    valign.clear();
    size = DEFAULT_SIZE;
    maxWidth = 0;
    getString(L, node, FONT, font);
    getNumber<float>(L, node, SIZE, &size);
    getString(L, node, ALIGN, align);
    getString(L, node, VALIGN, valign);
    getNumber<float>(L, node, MAX_WIDTH, &maxWidth);
  }
};

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

// Where a node's text lands on the pixels of the camera's target. When the
// node's plane shows there orthographically, unrotated and at one unit a pixel,
// each glyph is moved to the nearest whole pixel: its texels then cover pixels
// one for one instead of being smeared over two, as they would at half-pixel
// positions (whole world units fall there on a window of odd size). The node's
// origin goes first, so that glyphs at fractional advances round the same way
// wherever the node stands; from there a glyph's pixel is its offset times
// `scale`, and no matrix is needed per glyph.
struct PixelGrid {
  bool snaps = false;
  glm::vec2 scale{0.0f};   // pixels per node unit, ±1 when it snaps
  glm::vec2 origin{0.0f};  // what puts the node's origin on a pixel corner

  PixelGrid(const glm::mat4& projection, const glm::mat4& transform, const std::string& target) {
    const RenderTarget* drawnInto = target.empty() ? nullptr : gr_getRenderTarget(target);
    glm::vec2 halfSize = drawnInto ? glm::vec2(drawnInto->width, drawnInto->height)
                                   : glm::vec2(screenWidth, screenHeight);
    halfSize /= 2.0f;  // pixels per clip unit
    glm::mat4 toClip = projection * transform;
    // Columns 0 and 1 carry the node's x and y (text lies at z 0), column 3
    // its origin; rows 0, 1 and 3 give pixel x, pixel y and w.
    scale = glm::vec2(toClip[0][0], toClip[1][1]) * halfSize;
    const float tolerance = 1e-3f;
    snaps = std::fabs(std::fabs(scale.x) - 1) < tolerance &&
            std::fabs(std::fabs(scale.y) - 1) < tolerance &&
            std::fabs(toClip[1][0] * halfSize.x) < tolerance &&
            std::fabs(toClip[0][1] * halfSize.y) < tolerance && toClip[0][3] == 0 &&
            toClip[1][3] == 0 && toClip[3][3] == 1;
    if (!snaps) return;
    glm::vec2 pixels = (glm::vec2(toClip[3]) + 1.0f) * halfSize;
    origin = (whole(pixels) - pixels) / scale;
  }

  // What moves a glyph's corner at (x, y) (node units) onto a pixel corner.
  glm::vec2 shift(float x, float y) const {
    if (!snaps) return glm::vec2(0.0f);
    glm::vec2 pixels = glm::vec2(x, y) * scale;
    return origin + (whole(pixels) - pixels) / scale;
  }

  static glm::vec2 whole(glm::vec2 pixels) {
    return glm::vec2(std::floor(pixels.x + 0.5f), std::floor(pixels.y + 0.5f));
  }
};

// Appends the glyph's four corners and six indices; the blocks have room.
void writeGlyph(Batch& batch, const textlayout::Placed& placed, const glm::mat4& transform,
                const PixelGrid& grid, const float colour[4]) {
  const resources::Glyph& glyph = *placed.glyph;
  const resources::Sprite& sprite = glyph.sprite;
  float left = placed.x + static_cast<float>(glyph.left);
  float bottom = placed.y + static_cast<float>(glyph.top) - static_cast<float>(sprite.height);
  glm::vec2 shift = grid.shift(left, bottom);
  left += shift.x;
  bottom += shift.y;
  const float xs[2] = {left, left + static_cast<float>(sprite.width)};
  const float ys[2] = {bottom, bottom + static_cast<float>(sprite.height)};
  const float us[2] = {sprite.uv[0][0], sprite.uv[2][0]};
  const float vs[2] = {sprite.uv[2][1], sprite.uv[0][1]};  // the picture's top row on top

  size_t glyphs = static_cast<size_t>(batch.indexCount) / INDICES_PER_GLYPH;
  GLfloat* out = batch.data + glyphs * FLOATS_PER_GLYPH;
  for (const int* corner : CORNERS) {
    glm::vec4 at = transform * glm::vec4(xs[corner[0]], ys[corner[1]], 0, 1);
    vertex::Coloured written = {{at.x, at.y, at.z},
                                {us[corner[0]], vs[corner[1]]},
                                {colour[0], colour[1], colour[2], colour[3]}};
    memcpy(out, &written, sizeof written);
    out += vertex::FLOATS;
  }
  unsigned int first = static_cast<unsigned int>(glyphs * VERTICES_PER_GLYPH);
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
  bool clears;  // clearTarget, with a render target to clear
  cameras::Camera camera;
  std::shared_ptr<OpenBatch> open;

  void operator()(lua_State* L) const {
    const nodefields::Snapshot* node = nodefields::entered();
    static std::string content;
    content.clear();
    if (!getString(L, node, TEXT, content) || content.empty()) return;
    if (!cameras::sees(L, node, camera)) return;
    static NodeFields fields;
    fields.read(L, node);
    glyphcache::Face* face = glyphcache::face(fields.font, fields.size);
    if (!face) return;
    static std::vector<textlayout::Placed> placed;
    textlayout::layout(*face, content, fields.maxWidth, textlayout::alignNamed(fields.align),
                       textlayout::valignNamed(fields.valign), placed);
    if (placed.empty()) return;
    gr_uploadTextSheets();

    Uniforms uniforms;
    renderutils::getUniforms(L, node, uniforms);
    float colour[4] = {1, 1, 1, 1};
    takeColour(uniforms, colour);
    renderutils::warnUnusedUniforms("text", "text", uniforms);
    glm::mat4 transform = transforms::getTransform(L);
    PixelGrid grid(camera.projection, transform, camera.target);
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
      Batch* batch = batchFor(sheet, uniforms, count, sheet == sheets.front());
      if (!batch) continue;
      for (const textlayout::Placed& glyph : placed)
        if (onSheet(glyph)) writeGlyph(*batch, glyph, transform, grid, colour);
    }
  }

  // The camera's open batch if the glyphs may join it, else a new one; with
  // room for `glyphs` more. Null when the memory is not there. A camera that
  // clears its target clears it before each node's text, as separate draws
  // would: only the first batch of a node clears, and nodes join no batch.
  Batch* batchFor(const resources::Sheet* sheet, const Uniforms& uniforms, size_t glyphs,
                  bool firstOfNode) const {
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    OpenBatch& last = *open;
    // Another batch added since would have moved the list's batches: the size
    // is compared before the address.
    bool joins = gr_drawMerging() && !clears && last.batch && list.size() == last.dequeSize &&
                 &list.back() == last.batch && last.texture == sheet->texture &&
                 last.uniforms.sameAs(uniforms);
    if (!joins) {
      Batch& batch = list.add();
      fill(batch, sheet, uniforms);
      batch.clearTarget = clearTarget && firstOfNode;
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
    vertex::describe(batch.attributes);
    batch.program = gr_getProgram("text", "text");
    batch.targetName = camera.target;
    batch.enableDepthTest = enableDepthTest;
    batch.enableBlending = true;
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    cameras::Switches switches = cameras::readSwitches(L);
    bool clears = switches.clearTarget && gr_getRenderTarget(camera.target);
    enter.push_back(NodeHandler{&batchMatrix, switches.depthTest, switches.clearTarget, clears,
                                camera, std::make_shared<OpenBatch>()});
  });
}
}  // namespace textpass
