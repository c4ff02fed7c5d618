// Shader programs and their cache. (Compilation arrives with the renderer.)
#include "render/graphics.h"

std::string SHADER_VERSION = "gl210";
std::map<std::string, std::map<std::string, GLuint>> gr_programs;
GLuint currentProgram = static_cast<GLuint>(-1);

GLuint gr_loadShader(const char*, GLenum) { return 0; }
GLuint gr_createProgram(const char*, const char*) { return 0; }
GLuint gr_getProgram(std::string vs, std::string ps) {
  auto outer = gr_programs.find(vs);
  if (outer != gr_programs.end()) {
    auto inner = outer->second.find(ps);
    if (inner != outer->second.end()) return inner->second;
  }
  GLuint program = gr_createProgram(vs.c_str(), ps.c_str());
  gr_programs[vs][ps] = program;
  return program;
}
void gr_useProgram(GLuint) {}
