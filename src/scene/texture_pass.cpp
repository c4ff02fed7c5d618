// The texture pass: one textured rectangle per textured node and matching
// camera, centred on the node and as large as the texture unless the node says
// otherwise.
//
// It runs at every node, so it reads fields by keys numbered once, and a
// camera's handler remembers within a frame the last shader pair's program,
// the last texture found and the uniforms of a node that has none of its own,
// while nothing has run that could change them (nodefields::changes). A run of
// such nodes with one texture and program becomes one batch.
#include "scene/texture_pass.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstring>
#include <memory>

#include "core/diagnostics.h"
#include "render/sheets.h"
#include "scene/cameras.h"
#include "scene/renderutils.h"
#include "scene/transforms.h"

namespace textures {
namespace {
const int FLOATS_PER_VERTEX = 5;  // in_position (3), in_uv (2)
const int VERTICES = 6;           // two triangles, no index array

// Corner order of the two triangles: lower-left, upper-right, upper-left,
// lower-left, lower-right, upper-right. -1/+1 pick the low/high side.
const int CORNERS[VERTICES][2] = {{-1, -1}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};

const nodefields::Key TEXTURE("texture"), VS("vs"), FS("fs"), WIDTH("width"),
    HEIGHT("height"), OFFSET_X("offsetX"), OFFSET_Y("offsetY");
const NameId COLOR = gr_nameId("color"), PROJECTION = gr_nameId("projection"),
             SAMPLER = gr_nameId("textureSampler"), TEXTURE_WIDTH = gr_nameId("width"),
             TEXTURE_HEIGHT = gr_nameId("height"), IN_POSITION = gr_nameId("in_position"),
             IN_UV = gr_nameId("in_uv");

// setPositions and setUVs, with the node's snapshot at hand.
void writePositions(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
                    lua_State* L, const nodefields::Snapshot* node) {
  glm::mat4 transform = transforms::getTransform(L);
  float w = static_cast<float>(textureWidth), h = static_cast<float>(textureHeight);
  getNumber<float>(L, node, WIDTH, &w);
  getNumber<float>(L, node, HEIGHT, &h);
  for (int k = 0; k < VERTICES; ++k) {
    glm::vec4 corner(CORNERS[k][0] * w / 2, CORNERS[k][1] * h / 2, 0, 1);
    glm::vec4 placed = transform * corner;
    float* vertex = vertices + offset + k * stride;
    vertex[0] = placed.x;
    vertex[1] = placed.y;
    vertex[2] = placed.z;
  }
}

void writeUVs(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
              lua_State* L, const nodefields::Snapshot* node) {
  float tw = static_cast<float>(textureWidth), th = static_cast<float>(textureHeight);
  float w = tw, h = th, ox = 0, oy = 0;
  getNumber<float>(L, node, WIDTH, &w);
  getNumber<float>(L, node, HEIGHT, &h);
  getNumber<float>(L, node, OFFSET_X, &ox);
  getNumber<float>(L, node, OFFSET_Y, &oy);
  float uMin = ox / tw, vMin = oy / th;
  float u[2] = {uMin, w / tw + uMin};
  float v[2] = {vMin, h / th + vMin};
  for (int k = 0; k < VERTICES; ++k) {
    float* vertex = vertices + offset + k * stride;
    vertex[0] = u[CORNERS[k][0] > 0];
    vertex[1] = v[CORNERS[k][1] > 0];
  }
}

const char* const DEFAULT_SHADER = "pt";

// The names read from the node being drawn, reused from node to node: one
// thread, and no handler runs inside another.
std::string textureName, vs, fs;

// What a camera's handler remembers from node to node within a frame.
struct Remembered {
  unsigned long long changes = ~0ull;  // nodefields::changes() when it was filled
  std::string vs, fs;
  GLuint program = 0;
  GLuint defaultProgram = 0;  // of DEFAULT_SHADER twice
  std::string texture;
  bool looked = false;  // `texture` was looked up: `found` and `ref` tell
  bool found = false;
  TextureRef ref;
  UniformSet plain;  // the uniforms of a node with none of its own
  UniformSet own;    // the node's own uniforms, storage reused from node to node
  // The batch at the end of the list that nodes without uniforms of their own
  // may extend, or NO_RUN, and the texture its uniforms were made for.
  size_t run = NO_RUN;
  TextureRef runTexture;
  static const size_t NO_RUN = ~size_t{0};
};

struct NodeHandler {
  BatchMatrix* batchMatrix;
  bool enableDepthTest;
  bool clearTarget;
  bool clears;  // clearTarget, with a render target to clear
  cameras::Camera camera;
  std::shared_ptr<Remembered> remembered;

  void operator()(lua_State* L) const {
    const nodefields::Snapshot* node = nodefields::entered();
    if (!readTextureName(L, node)) return;
    if (!cameras::sees(L, node, camera)) return;

    // Most nodes keep the default pair; their names need no copying.
    bool ownShaders = !node || !node->valid || node->has(VS.field) || node->has(FS.field) ||
                      !node->known(VS.field) || !node->known(FS.field);
    if (ownShaders) {
      vs = DEFAULT_SHADER;
      fs = DEFAULT_SHADER;
      getString(L, node, VS, vs);
      getString(L, node, FS, fs);
    }

    Remembered& memory = *remembered;
    memory.own.clear();
    renderutils::getUniforms(L, node, memory.own);
    bool ownUniforms = !memory.own.empty();
    if (memory.changes != nodefields::changes()) forget(memory);
    GLuint program = ownShaders ? programFor(memory, vs, fs) : defaultProgram(memory);
    if (ownUniforms)
      renderutils::warnUnusedUniforms(ownShaders ? vs : DEFAULT_SHADER,
                                      ownShaders ? fs : DEFAULT_SHADER, memory.own);

    if (!memory.looked || textureName != memory.texture) {
      memory.texture = textureName;
      memory.found = gr_findTexture(textureName, &memory.ref);
      memory.looked = true;
      memory.plain.clear();
    }
    if (!memory.found) {
      diagnostics::logRepeated("texture " + textureName, "Failed to find texture %s\n",
                               textureName.c_str());
      return;
    }
    const TextureRef& texture = memory.ref;
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    GLfloat* vertices = list.vertices(static_cast<size_t>(VERTICES * FLOATS_PER_VERTEX));
    if (ownUniforms || clears || !extendRun(list, memory, program, vertices)) {
      Batch& batch = list.add();
      batch.uniforms = memory.own;
      addPassUniforms(batch.uniforms, texture, ownUniforms);
      batch.program = program;
      batch.attributes.set(IN_POSITION, {3, 0});
      batch.attributes.set(IN_UV, {2, 3});
      batch.triangles = 2;
      batch.clearTarget = clearTarget;
      batch.targetName = camera.target;
      batch.enableBlending = true;
      batch.enableDepthTest = enableDepthTest;
      batch.data = vertices;
      memory.run = ownUniforms ? Remembered::NO_RUN : list.size() - 1;
      memory.runTexture = texture;
    }
    // Reading uniforms may have run script code: the readers then see that
    // the snapshot no longer holds.
    writePositions(vertices, texture.width, texture.height, 0, FLOATS_PER_VERTEX, L, node);
    writeUVs(vertices, texture.width, texture.height, 3, FLOATS_PER_VERTEX, L, node);
  }

  // Draws the node's rectangle as two more triangles of the batch a node
  // before it started, when that batch is still the last one, has the same
  // program and texture (so the same uniforms: those of a node without its
  // own), and `vertices` follows its vertices in memory: the draw call the
  // renderer would make of the two batches, without making the second. Off
  // while draw merging is off, so that pictures can be compared with and
  // without joined calls. Never asked for a camera that clears its target
  // before each rectangle: the renderer would not join those either.
  static bool extendRun(BatchList& list, const Remembered& memory, GLuint program,
                        const GLfloat* vertices) {
    if (!gr_drawMerging() || memory.run == Remembered::NO_RUN || memory.run + 1 != list.size())
      return false;
    Batch& run = list.back();
    const TextureRef& texture = memory.ref;
    if (run.program != program || memory.runTexture.name != texture.name ||
        memory.runTexture.width != texture.width || memory.runTexture.height != texture.height ||
        run.data + static_cast<size_t>(run.triangles) * 3 * FLOATS_PER_VERTEX != vertices)
      return false;
    run.triangles += 2;
    return true;
  }

  // Starts afresh, keeping the storage.
  static void forget(Remembered& memory) {
    memory.changes = nodefields::changes();
    memory.program = 0;
    memory.defaultProgram = 0;
    memory.looked = false;
    memory.plain.clear();
  }

  // The node's `texture` in `textureName`, or false when it has none. A name
  // the node shares with the one before is not copied again.
  bool readTextureName(lua_State* L, const nodefields::Snapshot* node) const {
    if (node && node->valid) {
      const nodefields::Value* value = node->find(TEXTURE.field);
      if (value && value->type == LUA_TSTRING && value->length == textureName.size() &&
          memcmp(value->text, textureName.data(), textureName.size()) == 0)
        return true;
    }
    return getString(L, node, TEXTURE, textureName);
  }

  GLuint defaultProgram(Remembered& memory) const {
    if (memory.defaultProgram == 0) memory.defaultProgram = gr_getProgram(DEFAULT_SHADER, DEFAULT_SHADER);
    return memory.defaultProgram;
  }

  GLuint programFor(Remembered& memory, const std::string& vsName,
                    const std::string& fsName) const {
    if (memory.program == 0 || vsName != memory.vs || fsName != memory.fs) {
      memory.program = gr_getProgram(vsName, fsName);
      memory.vs = vsName;
      memory.fs = fsName;
    }
    return memory.program;
  }

  // Adds the pass's uniforms: colour (unless the node has one), projection and
  // the texture's. A node without uniforms of its own gets the same set every
  // time, copied whole.
  void addPassUniforms(UniformSet& uniforms, const TextureRef& texture, bool ownUniforms) const {
    Remembered& memory = *remembered;
    if (!ownUniforms && !memory.plain.empty()) {
      uniforms = memory.plain;
      return;
    }
    if (!uniforms.find(COLOR)) {
      const float white[4] = {1, 1, 1, 1};
      uniforms.set(COLOR, white, sizeof white);
    }
    uniforms.set(PROJECTION, glm::value_ptr(camera.projection), sizeof camera.projection);
    const float size[2] = {static_cast<float>(texture.width), static_cast<float>(texture.height)};
    uniforms.set(SAMPLER, &texture.name, sizeof texture.name);
    uniforms.set(TEXTURE_WIDTH, &size[0], sizeof size[0]);
    uniforms.set(TEXTURE_HEIGHT, &size[1], sizeof size[1]);
    if (!ownUniforms) memory.plain = uniforms;
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    cameras::Switches switches = cameras::readSwitches(L);
    bool clears = switches.clearTarget && gr_getRenderTarget(camera.target);
    enter.push_back(NodeHandler{&batchMatrix, switches.depthTest, switches.clearTarget, clears,
                                camera, std::make_shared<Remembered>()});
  });
}

void setPositions(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
                  lua_State* L) {
  writePositions(vertices, textureWidth, textureHeight, offset, stride, L, nodefields::visiting(L));
}

void setUVs(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
            lua_State* L) {
  writeUVs(vertices, textureWidth, textureHeight, offset, stride, L, nodefields::visiting(L));
}
}  // namespace textures
