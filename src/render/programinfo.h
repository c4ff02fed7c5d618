// What the renderer knows of each linked program: its active uniforms with
// their types and locations, the location of each attribute name, and the
// value each uniform was last given. Asked of GL the first time a program is
// drawn with; a program made again under the same GL name (a shader reload
// that reuses it, a new context) is asked again.
#pragma once

#include "render/gl.h"

#include <string>
#include <vector>

#include "render/names.h"

namespace programinfo {
struct ActiveUniform {
  std::string name;     // as GL reports it, at most 99 characters
  NameId id = 0;        // gr_nameId(name)
  // A vec2, vec3 or vec4 with a name of two or more characters is fed from the
  // value named without its first two characters (u_tint from tint) when the
  // batch has one.
  bool shortForm = false;
  NameId shortId = 0;
  GLenum type = 0;
  GLint location = -1;
  size_t bytes = 0;     // what the type reads; 0 for types that are not uploaded
  bool held = false;    // `last` is what the program holds
  unsigned char last[64] = {};  // the value last uploaded (a sampler: its unit)
};

struct Program {
  std::vector<ActiveUniform> uniforms;  // in active-uniform index order
  std::vector<GLint> attributes;        // location by NameId; UNKNOWN until asked
};

const GLint UNKNOWN = -2;

// The record of `program`, filled on first use.
Program& of(GLuint program);
// The location of the attribute (negative when the program does not use it).
GLint attributeLocation(GLuint program, Program& info, NameId name);
// Drops what is known of one program, or of all.
void forget(GLuint program);
void forgetAll();
}  // namespace programinfo
