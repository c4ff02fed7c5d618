// Which shaders a textured mesh takes, and the stand-in sampler.
#include "scene/modeltexture.h"

#include "scene/renderutils.h"
#include "render/whitetexture.h"

namespace modeltexture {
namespace {
const char* const SAMPLER = "textureSampler";
}

ShaderPair defaultShaders(const model::Mesh& mesh, const std::map<std::string, Uniform>& uniforms) {
  const ShaderPair& own = mesh.material.shaderPair;
  bool named = uniforms.find(SAMPLER) != uniforms.end();
  if (named && mesh.hasUvs && own.vs == "pn" && own.ps == "pn") return {"pnt", "pnt"};
  return own;
}

void addWhiteSampler(std::map<std::string, Uniform>& uniforms) {
  if (uniforms.find(SAMPLER) != uniforms.end()) return;
  GLuint white = gr_whiteTexture();
  renderutils::addCopy(uniforms, SAMPLER, &white, sizeof white);
}
}  // namespace modeltexture
