// Shader programs: reading and compiling shader files, linking pairs, the
// program cache and the current-program switch. Compile and link logs are
// printed but not judged: a broken program is cached like any other.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "assets/resources.h"
#include "core/log.h"
#include "render/glcheck.h"
#include "render/graphics.h"
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

GLuint loadNamedShader(const char* name, const char* extension, GLenum shaderType) {
  std::string path = shaderfiles::find(name, extension);
  return path.empty() ? 0 : gr_loadShader(path.c_str(), shaderType);
}
}  // namespace

GLuint gr_loadShader(const char* filePath, GLenum shaderType) {
  std::vector<char> source;
  if (!readFile(filePath, source)) {
    DLOG("Failed to open shader %s\n", filePath);
    return 0;
  }
  DLOG("Compiling shader %s\n", filePath);
  GLuint shader = glCreateShader(shaderType);
  glcheck::check("glCreateShader");
  const GLchar* text = source.data();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);

  GLint logLength = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
  std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
  if (logLength > 0) glGetShaderInfoLog(shader, logLength, nullptr, log.data());
  DLOG("%s\n", log.data());
  DLOG("Shader created\n");
  return shader;
}

GLuint gr_createProgram(const char* vs, const char* fs) {
  GLuint vertexShader = loadNamedShader(vs, "vs", GL_VERTEX_SHADER);
  GLuint fragmentShader = loadNamedShader(fs, "fs", GL_FRAGMENT_SHADER);

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

  // The link log goes to standard output directly, not through DLOG.
  char log[512] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  printf("%s\n", log);
  return program;
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

void gr_useProgram(GLuint programID) {
  if (programID == currentProgram) return;
  currentProgram = programID;
  glcheck::check("Pre use program");
  glUseProgram(programID);
  glcheck::check("Use program");
}

GLuint gr_currentProgram() { return currentProgram; }

void gr_forgetCurrentProgram() { currentProgram = NO_PROGRAM; }
