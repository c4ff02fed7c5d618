// The texture pass: one textured rectangle per textured node and matching
// camera, centred on the node and as large as the texture unless the node says
// otherwise.
#include "scene/texture_pass.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdlib>

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

struct NodeHandler {
  BatchMatrix* batchMatrix;
  bool enableDepthTest;
  bool clearTarget;
  cameras::Camera camera;

  void operator()(lua_State* L) const {
    std::string textureName;
    if (!getString(L, "texture", textureName)) return;
    if (getString(L, "layer") != camera.layer) return;

    std::string vs = "pt", fs = "pt";
    renderutils::getShaders(vs, fs, L);

    Batch batch;
    batch.freeData = true;
    batch.uniforms = renderutils::getUniforms(L);
    batch.attributes["in_position"] = {3, 0};
    batch.attributes["in_uv"] = {2, 3};
    batch.triangles = 2;
    batch.clearTarget = clearTarget;
    batch.targetName = camera.target;
    batch.program = gr_getProgram(vs, fs);
    renderutils::warnUnusedUniforms(vs, fs, batch.uniforms);

    if (batch.uniforms.find("color") == batch.uniforms.end()) {
      const float white[4] = {1, 1, 1, 1};
      renderutils::addCopy(batch.uniforms, "color", white, sizeof white);
    }
    renderutils::addCopy(batch.uniforms, "projection", glm::value_ptr(camera.projection),
                         sizeof camera.projection);

    TextureRef texture;
    if (!gr_findTexture(textureName, &texture)) {
      diagnostics::logRepeated("texture " + textureName, "Failed to find texture %s\n",
                               textureName.c_str());
      return;
    }
    const float size[2] = {static_cast<float>(texture.width), static_cast<float>(texture.height)};
    renderutils::addCopy(batch.uniforms, "textureSampler", &texture.name, sizeof texture.name);
    renderutils::addCopy(batch.uniforms, "width", &size[0], sizeof size[0]);
    renderutils::addCopy(batch.uniforms, "height", &size[1], sizeof size[1]);

    batch.enableBlending = true;
    batch.enableDepthTest = enableDepthTest;

    size_t floats = static_cast<size_t>(batch.triangles) * 3 * batch.getStride();
    batch.data = static_cast<GLfloat*>(malloc(floats * sizeof(GLfloat)));
    setPositions(batch.data, texture.width, texture.height, 0, FLOATS_PER_VERTEX, L);
    setUVs(batch.data, texture.width, texture.height, 3, FLOATS_PER_VERTEX, L);
    (*batchMatrix)[static_cast<size_t>(camera.index)].push_back(std::move(batch));
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix) {
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    cameras::Switches switches = cameras::readSwitches(L);
    enter.push_back(NodeHandler{&batchMatrix, switches.depthTest, switches.clearTarget, camera});
  });
}

void setPositions(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
                  lua_State* L) {
  glm::mat4 transform = transforms::getTransform(L);
  float w = static_cast<float>(textureWidth), h = static_cast<float>(textureHeight);
  getNumber<float>(L, "width", &w);
  getNumber<float>(L, "height", &h);
  for (int k = 0; k < VERTICES; ++k) {
    glm::vec4 corner(CORNERS[k][0] * w / 2, CORNERS[k][1] * h / 2, 0, 1);
    glm::vec4 placed = transform * corner;
    float* vertex = vertices + offset + k * stride;
    vertex[0] = placed.x;
    vertex[1] = placed.y;
    vertex[2] = placed.z;
  }
}

void setUVs(float* vertices, int textureWidth, int textureHeight, int offset, int stride,
            lua_State* L) {
  float tw = static_cast<float>(textureWidth), th = static_cast<float>(textureHeight);
  float w = tw, h = th, ox = 0, oy = 0;
  getNumber<float>(L, "width", &w);
  getNumber<float>(L, "height", &h);
  getNumber<float>(L, "offsetX", &ox);
  getNumber<float>(L, "offsetY", &oy);
  float uMin = ox / tw, vMin = oy / th;
  float u[2] = {uMin, w / tw + uMin};
  float v[2] = {vMin, h / th + vMin};
  for (int k = 0; k < VERTICES; ++k) {
    float* vertex = vertices + offset + k * stride;
    vertex[0] = u[CORNERS[k][0] > 0];
    vertex[1] = v[CORNERS[k][1] > 0];
  }
}
}  // namespace textures
