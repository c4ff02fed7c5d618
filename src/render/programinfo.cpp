// Program reflection, asked of GL once per program.
#include "render/programinfo.h"

#include <unordered_map>

namespace programinfo {
namespace {
const GLsizei UNIFORM_NAME_BUFFER = 100;

std::unordered_map<GLuint, Program>& programs() {
  static std::unordered_map<GLuint, Program> table;
  return table;
}

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

void reflect(GLuint program, Program& info) {
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  for (GLint index = 0; index < count; ++index) {
    char name[UNIFORM_NAME_BUFFER] = {};
    GLsizei length = 0;
    GLint arraySize = 0;
    ActiveUniform uniform;
    glGetActiveUniform(program, static_cast<GLuint>(index), sizeof name, &length, &arraySize,
                       &uniform.type, name);
    name[length] = '\0';
    uniform.name = name;
    uniform.id = gr_nameId(uniform.name);
    bool vector = uniform.type == GL_FLOAT_VEC2 || uniform.type == GL_FLOAT_VEC3 ||
                  uniform.type == GL_FLOAT_VEC4;
    uniform.shortForm = vector && length >= 2;
    if (uniform.shortForm) uniform.shortId = gr_nameId(uniform.name.substr(2));
    uniform.location = glGetUniformLocation(program, name);
    uniform.bytes = bytesFor(uniform.type);
    info.uniforms.push_back(uniform);
  }
}
}  // namespace

Program& of(GLuint program) {
  auto found = programs().find(program);
  if (found != programs().end()) return found->second;
  Program& info = programs()[program];
  reflect(program, info);
  return info;
}

GLint attributeLocation(GLuint program, Program& info, NameId name) {
  if (info.attributes.size() <= name) info.attributes.resize(name + 1, UNKNOWN);
  GLint& location = info.attributes[name];
  if (location == UNKNOWN) location = glGetAttribLocation(program, gr_nameText(name).c_str());
  return location;
}

void forget(GLuint program) { programs().erase(program); }

void forgetAll() { programs().clear(); }
}  // namespace programinfo
