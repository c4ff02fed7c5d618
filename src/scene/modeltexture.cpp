// Which shaders a textured mesh takes, and the stand-in sampler.
#include "scene/modeltexture.h"

#include "render/whitetexture.h"

namespace modeltexture {
namespace {
const NameId SAMPLER = gr_nameId("textureSampler");
}

ShaderPair defaultShaders(const model::Mesh& mesh, const UniformSet& uniforms) {
  const ShaderPair& own = mesh.material.shaderPair;
  bool named = uniforms.find(SAMPLER) != nullptr;
  if (named && mesh.hasUvs && own.vs == "pn" && own.ps == "pn") return {"pnt", "pnt"};
  return own;
}

void addWhiteSampler(UniformSet& uniforms) {
  if (uniforms.find(SAMPLER)) return;
  GLuint white = gr_whiteTexture();
  uniforms.set(SAMPLER, &white, sizeof white);
}
}  // namespace modeltexture
