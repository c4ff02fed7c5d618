// Textures on models: the lit "pnt" shaders sample `textureSampler` at the
// mesh's texture coordinates. A node names the texture in its uniforms
// (uniforms = {textureSampler = "crate"}); without one the model pass supplies
// a white stand-in, so an untextured mesh looks exactly as if nothing were
// sampled.
#pragma once

#include <map>
#include <string>

#include "assets/model_records.h"
#include "render/graphics.h"

namespace modeltexture {
// The pair a mesh is drawn with before the node's vs/fs: its own, except that
// a mesh imported with the lit "pn" pair that has texture coordinates takes
// "pnt" when `uniforms` name a textureSampler.
ShaderPair defaultShaders(const model::Mesh& mesh, const std::map<std::string, Uniform>& uniforms);
// Adds textureSampler = the white stand-in when `uniforms` name none.
void addWhiteSampler(std::map<std::string, Uniform>& uniforms);
}  // namespace modeltexture
