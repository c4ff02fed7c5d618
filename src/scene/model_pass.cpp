// The model pass: walks a model's tree of child models, composing the node's
// transform with each model's key-frame animation, and draws every mesh with
// vertex data as one batch. A node's inline "vertices" list is drawn as a
// one-mesh model with the flat "p" shaders. A node with `framesPerSecond`
// plays its model's animation (playback.h); textures: modeltexture.h.
#include "scene/model_pass.h"

#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <optional>

#include "assets/animation.h"
#include "assets/model.h"
#include "scene/cameras.h"
#include "scene/modeltexture.h"
#include "scene/playback.h"
#include "scene/renderutils.h"
#include "scene/transforms.h"

namespace modelpass {
namespace {
using model::Mesh;
using model::Model;
float timeSinceLaunch = 0;  // milliseconds of frames since start-up
const nodefields::Key VERTICES("vertices"), MODEL("model");

// Switches read from `world`, the same for every batch of a frame.
struct WorldFlags {
  bool depthTest = true;
  bool blend = true;
  bool clearTarget = false;
  bool culling = true;
};

// Attribute layout of the mesh's vertices: position, normal, colour, uv.
void setAttributes(const Mesh& mesh, Batch& batch) {
  int offset = 0;
  batch.attributes.set("in_position", {3, offset});
  offset += 3;
  if (mesh.hasNormals) {
    batch.attributes.set("in_normal", {3, offset});
    offset += 3;
  }
  if (mesh.hasColor) {
    batch.attributes.set("in_color", {3, offset});
    offset += 3;
  }
  if (mesh.hasUvs) batch.attributes.set("in_uv", {2, offset});
}

struct NodeHandler {
  BatchMatrix* batchMatrix;
  WorldFlags flags;
  cameras::Camera camera;

  void operator()(lua_State* L) const {
    const nodefields::Snapshot* node = nodefields::entered();
    if (!cameras::sees(L, node, camera)) return;
    if (luautils::present(L, node, VERTICES)) {
      Model list;
      list.meshes.emplace_back();
      Mesh& mesh = list.meshes.back();
      getNumbers(L, "vertices", mesh.vertices);
      mesh.material.color = glm::vec4(0.0f);
      mesh.material.shaderPair = {"p", "p"};
      // The temporary model ends with this call, so its batch takes a copy.
      addModel(L, list, glm::mat4(1.0f), true, std::nullopt);
    } else if (luautils::present(L, node, MODEL)) {
      Model& loaded = *model::getModel(getString(L, "model"));
      addModel(L, loaded, glm::mat4(1.0f), false,
               playback::frameFor(L, loaded, timeSinceLaunch / 1000));
    }
  }

  // `frame`: the key frame the node plays the whole tree at, if it plays it.
  void addModel(lua_State* L, Model& model, const glm::mat4& vertexTransform, bool copy,
                std::optional<float> frame) const {
    glm::mat4 animated = frame ? animation::evaluateFrame(model.animation, *frame)
                               : animation::evaluate(model.animation, timeSinceLaunch / 1000);
    glm::mat4 modelTransform = vertexTransform * animated;
    for (Mesh& mesh : model.meshes) {
      if (!mesh.vertices.empty()) addMesh(L, mesh, modelTransform, copy);
    }
    // The node transform is applied once, at each model's own meshes.
    for (Model& child : model.children) addModel(L, child, modelTransform, copy, frame);
  }

  void addMesh(lua_State* L, Mesh& mesh, const glm::mat4& modelTransform, bool copy) const {
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    Batch& batch = list.add();
    renderutils::getUniforms(L, batch.uniforms);
    ShaderPair shaders = modeltexture::defaultShaders(mesh, batch.uniforms);
    renderutils::getShaders(shaders.vs, shaders.ps, L);
    glm::mat4 transform = transforms::getTransform(L) * modelTransform;
    glm::mat4 normalTransform(glm::inverseTranspose(glm::mat3(transform)));

    batch.program = gr_getProgram(shaders.vs, shaders.ps);
    setAttributes(mesh, batch);
    batch.triangles = static_cast<int>(mesh.vertices.size() / floatsPerVertex(mesh) / 3);
    batch.indices = mesh.indices.empty() ? nullptr : mesh.indices.data();
    batch.indexCount = static_cast<int>(mesh.indices.size());
    batch.targetName = camera.target;
    batch.enableDepthTest = flags.depthTest;
    batch.enableBlending = flags.blend;
    batch.enableCulling = flags.culling;
    batch.clearTarget = flags.clearTarget;

    renderutils::warnUnusedUniforms(shaders.vs, shaders.ps, batch.uniforms);
    modeltexture::addWhiteSampler(batch.uniforms);
    batch.uniforms.set("transform", glm::value_ptr(transform), sizeof transform);
    batch.uniforms.set("normalTransform", glm::value_ptr(normalTransform), sizeof normalTransform);
    batch.uniforms.set("projection", glm::value_ptr(camera.projection), sizeof camera.projection);
    if (!batch.uniforms.find("color"))
      batch.uniforms.set("color", glm::value_ptr(mesh.material.color), sizeof mesh.material.color);

    if (copy) {
      batch.data = list.vertices(mesh.vertices.size());
      std::copy(mesh.vertices.begin(), mesh.vertices.end(), batch.data);
    } else {
      batch.data = mesh.vertices.data();
    }
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt) {
  timeSinceLaunch += dt;
  WorldFlags flags;
  getBool(L, "depthTest", &flags.depthTest);
  getBool(L, "blend", &flags.blend);
  getBool(L, "clearTarget", &flags.clearTarget);
  getBool(L, "enableCulling", &flags.culling);
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    enter.push_back(NodeHandler{&batchMatrix, flags, camera});
  });
}
}  // namespace modelpass
