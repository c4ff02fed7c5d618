// Shader programs: reading and compiling shader files, linking pairs, the
// program cache and the current-program switch. Compile and link logs are
// printed but not judged: a broken program is cached like any other. Only the
// rebuild of a changed pair (gr_tryCreateProgram) judges them.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "assets/resources.h"
#include "core/log.h"
#include "render/glcheck.h"
#include "render/graphics.h"
#include "render/programinfo.h"
#include "render/shaderfiles.h"

std::string SHADER_VERSION = "gl210";
std::map<std::string, std::map<std::string, GLuint>> gr_programs;

namespace {
const GLuint NO_PROGRAM = static_cast<GLuint>(-1);
GLuint currentProgram = NO_PROGRAM;

// The whole file as text, or false when it cannot be opened or read.
bool readFile(const char* filePath, std::vector<char>& text) {
  FILE* file = resources::openFile(filePath, "rb");
  if (!file) return false;
  fseek(file, 0, SEEK_END);
  long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  bool read = size >= 0;
  if (read) {
    text.assign(static_cast<size_t>(size) + 1, '\0');
    read = fread(text.data(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  }
  fclose(file);
  return read;
}

bool compiled(GLuint shader) {
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

GLuint loadNamedShader(const char* name, const char* extension, GLenum shaderType) {
  std::string path = shaderfiles::find(name, extension);
  return path.empty() ? 0 : gr_loadShader(path.c_str(), shaderType);
}
}  // namespace

GLuint gr_loadShader(const char* filePath, GLenum shaderType) {
  std::vector<char> source;
  if (!readFile(filePath, source)) {
    DLOG(LogLevel::Error, "Failed to open shader %s\n", filePath);
    return 0;
  }
  DLOG(LogLevel::Info, "Compiling shader %s\n", filePath);
  GLuint shader = glCreateShader(shaderType);
  glcheck::check("glCreateShader");
  const GLchar* text = source.data();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);

  GLint logLength = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
  std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
  if (logLength > 0) glGetShaderInfoLog(shader, logLength, nullptr, log.data());
  // The driver's own words: what went wrong, or warnings on a shader that compiled.
  DLOG(compiled(shader) ? LogLevel::Warning : LogLevel::Error, "%s\n", log.data());
  DLOG(LogLevel::Info, "Shader created\n");
  return shader;
}

namespace {
// Links the two shaders into a new program and deletes them.
GLuint link(GLuint vertexShader, GLuint fragmentShader) {
  // A shader that could not be read is 0 here; attaching it is the GL error
  // that stops the process.
  GLuint program = glCreateProgram();
  glcheck::check("glCreateProgran");
  glAttachShader(program, vertexShader);
  glcheck::check("glAttachShader vs");
  glAttachShader(program, fragmentShader);
  glcheck::check("glAttachShader fs");
  glLinkProgram(program);
  glcheck::check("glLinkProgram");
  glDeleteShader(vertexShader);
  glDeleteShader(fragmentShader);

  // The link log goes to standard output like the compile log; quiet runs
  // drop it when it is empty.
  char log[512] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  DLOG(linked == GL_TRUE ? LogLevel::Warning : LogLevel::Error, "%s\n", log);
  // GL may hand out the name of a program it no longer has: learn it afresh.
  programinfo::forget(program);
  return program;
}
}  // namespace

GLuint gr_createProgram(const char* vs, const char* fs) {
  GLuint vertexShader = loadNamedShader(vs, "vs", GL_VERTEX_SHADER);
  GLuint fragmentShader = loadNamedShader(fs, "fs", GL_FRAGMENT_SHADER);
  return link(vertexShader, fragmentShader);
}

GLuint gr_tryCreateProgram(const char* vs, const char* fs) {
  GLuint vertexShader = loadNamedShader(vs, "vs", GL_VERTEX_SHADER);
  GLuint fragmentShader = loadNamedShader(fs, "fs", GL_FRAGMENT_SHADER);
  const char* failure = nullptr;
  if (!vertexShader || !fragmentShader)
    failure = "a shader file cannot be read";
  else if (!compiled(vertexShader) || !compiled(fragmentShader))
    failure = "a shader does not compile";
  GLuint program = 0;
  if (!failure) {
    program = link(vertexShader, fragmentShader);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) failure = "the pair does not link";
  } else {
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
  }
  if (!failure) return program;
  glDeleteProgram(program);
  DLOG(LogLevel::Error, "Shader pair %s %s not rebuilt: %s; the previous program stays\n", vs, fs,
       failure);
  return 0;
}

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

bool gr_programUses(GLuint program, const std::string& name) {
  GLint count = 0;
  glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
  for (GLint index = 0; index < count; ++index) {
    char active[256] = {};
    GLsizei length = 0;
    GLint arraySize = 0;
    GLenum type = 0;
    glGetActiveUniform(program, static_cast<GLuint>(index), sizeof active, &length, &arraySize,
                       &type, active);
    bool vector = type == GL_FLOAT_VEC2 || type == GL_FLOAT_VEC3 || type == GL_FLOAT_VEC4;
    if (name == active || (vector && length > 2 && name == active + 2)) return true;
  }
  return false;
}

void gr_useProgram(GLuint programID) {
  if (programID == currentProgram) return;
  currentProgram = programID;
  glcheck::check("Pre use program");
  glUseProgram(programID);
  glcheck::check("Use program");
}

GLuint gr_currentProgram() { return currentProgram; }

void gr_forgetCurrentProgram() {
  currentProgram = NO_PROGRAM;
  programinfo::forgetAll();
}
