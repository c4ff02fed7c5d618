// Shader programs: reading and compiling shader files, linking pairs, the
// program cache and the current-program switch. Compile and link logs are
// printed as the driver gives them. A pair that does not link (a file that
// cannot be read, a shader that does not compile) is cached like any other
// but marked failed: one line says why, it is never bound, and the draws that
// name it are skipped. The rebuild of a changed pair (gr_tryCreateProgram)
// keeps the previous program instead.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "assets/frameworkfiles.h"
#include "assets/resources.h"
#include "core/diagnostics.h"
#include "core/log.h"
#include "platform/platform.h"
#include "render/glcheck.h"
#include "render/graphics.h"
#include "render/programinfo.h"
#include "render/shaderfiles.h"

std::string SHADER_VERSION = "gl210";
std::map<std::string, std::map<std::string, GLuint>> gr_programs;

namespace {
const GLuint NO_PROGRAM = static_cast<GLuint>(-1);
GLuint currentProgram = NO_PROGRAM;
std::unordered_set<GLuint> failedPrograms;
// Pairs of files already reported as not linking: a pair built again (the
// cache emptied by a script) is not reported again.
std::set<std::pair<std::string, std::string>> reportedPairs;

bool compiled(GLuint shader) {
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

bool linked(GLuint program) {
  GLint status = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  return status == GL_TRUE;
}

std::string shaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
  if (length > 0) glGetShaderInfoLog(shader, length, nullptr, log.data());
  return log.data();
}

std::string programLog(GLuint program) {
  char log[512] = {};
  glGetProgramInfoLog(program, sizeof log, nullptr, log);
  return log;
}

// The driver's message on one line: its lines joined with "; ".
std::string oneLine(const std::string& message) {
  std::string line;
  size_t start = 0;
  while (start < message.size()) {
    size_t end = message.find_first_of("\r\n", start);
    if (end == std::string::npos) end = message.size();
    std::string part = message.substr(start, end - start);
    if (part.find_first_not_of(" \t") != std::string::npos)
      line += (line.empty() ? "" : "; ") + part;
    start = end + 1;
  }
  return line.empty() ? "the driver gives no message" : line;
}

// One shader of a pair: the file it is read from (a name too long for a path
// has none) and the compiled shader, 0 when the file cannot be read.
struct ShaderFile {
  std::string path;
  std::string shown;  // the path, or the name when there is none
  GLuint shader = 0;
};

ShaderFile loadNamedShader(const char* name, const char* extension, GLenum shaderType) {
  ShaderFile file;
  file.path = shaderfiles::find(name, extension);
  file.shown = file.path.empty() ? std::string(name) + "." + extension : file.path;
  if (!file.path.empty()) file.shader = gr_loadShader(file.path.c_str(), shaderType);
  return file;
}

// Links the two shaders into a new program and deletes them.
GLuint link(GLuint vertexShader, GLuint fragmentShader) {
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
  DLOG(linked(program) ? LogLevel::Warning : LogLevel::Error, "%s\n", programLog(program).c_str());
  // GL may hand out the name of a program it no longer has: learn it afresh.
  programinfo::forget(program);
  return program;
}

// Why the pair did not link, in the driver's words where it has some.
std::string linkFailure(const ShaderFile& vertex, const ShaderFile& fragment, GLuint program) {
  for (const ShaderFile* file : {&vertex, &fragment})
    if (!file->shader) return file->shown + " cannot be read";
  for (const ShaderFile* file : {&vertex, &fragment})
    if (!compiled(file->shader)) return oneLine(shaderLog(file->shader));
  return oneLine(programLog(program));
}

// A program that stands for a pair with a file that cannot be read: it has
// nothing to link, and exists so that the pair has a program to be known by.
GLuint unlinkedProgram(const ShaderFile& vertex, const ShaderFile& fragment) {
  GLuint program = glCreateProgram();
  glcheck::check("glCreateProgran");
  if (vertex.shader) glDeleteShader(vertex.shader);
  if (fragment.shader) glDeleteShader(fragment.shader);
  programinfo::forget(program);
  return program;
}

void markFailed(GLuint program, const ShaderFile& vertex, const ShaderFile& fragment) {
  failedPrograms.insert(program);
  std::string reason = linkFailure(vertex, fragment, program);
  if (!reportedPairs.insert({vertex.shown, fragment.shown}).second) return;
  DLOG(LogLevel::Error, "Shader pair %s %s does not link, its draws are skipped: %s\n",
       vertex.shown.c_str(), fragment.shown.c_str(), reason.c_str());
  diagnostics::endUnderStrict("shader pair that does not link");
}
}  // namespace

GLuint gr_loadShader(const char* filePath, GLenum shaderType) {
  std::string source, error;
  if (!frameworkfiles::read(filePath, source, error)) {
    // A game's file skips its pair; without the framework's own (built in,
    // so only a broken build lacks them) nothing would be drawn at all.
    if (shaderfiles::framework(filePath))
      glcheck::fatal("The framework's shader %s cannot be read: %s\n", filePath, error.c_str());
    DLOG(LogLevel::Error, "Failed to open shader %s\n", filePath);
    return 0;
  }
  DLOG(LogLevel::Info, "Compiling shader %s\n", filePath);
  GLuint shader = glCreateShader(shaderType);
  glcheck::check("glCreateShader");
  std::string translated = platform::shaderSource(source);
  const GLchar* text = translated.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);

  // The driver's own words: what went wrong, or warnings on a shader that compiled.
  DLOG(compiled(shader) ? LogLevel::Warning : LogLevel::Error, "%s\n", shaderLog(shader).c_str());
  DLOG(LogLevel::Info, "Shader created\n");
  return shader;
}

GLuint gr_createProgram(const char* vs, const char* fs) {
  ShaderFile vertex = loadNamedShader(vs, "vs", GL_VERTEX_SHADER);
  ShaderFile fragment = loadNamedShader(fs, "fs", GL_FRAGMENT_SHADER);
  bool readable = vertex.shader && fragment.shader;
  GLuint program =
      readable ? link(vertex.shader, fragment.shader) : unlinkedProgram(vertex, fragment);
  if (readable && linked(program))
    failedPrograms.erase(program);  // a name GL had handed out before
  else
    markFailed(program, vertex, fragment);
  return program;
}

GLuint gr_tryCreateProgram(const char* vs, const char* fs) {
  ShaderFile vertex = loadNamedShader(vs, "vs", GL_VERTEX_SHADER);
  ShaderFile fragment = loadNamedShader(fs, "fs", GL_FRAGMENT_SHADER);
  const char* failure = nullptr;
  if (!vertex.shader || !fragment.shader)
    failure = "a shader file cannot be read";
  else if (!compiled(vertex.shader) || !compiled(fragment.shader))
    failure = "a shader does not compile";
  GLuint program = 0;
  if (!failure) {
    program = link(vertex.shader, fragment.shader);
    if (!linked(program)) failure = "the pair does not link";
  } else {
    glDeleteShader(vertex.shader);
    glDeleteShader(fragment.shader);
  }
  if (!failure) {
    failedPrograms.erase(program);
    return program;
  }
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

bool gr_programFailed(GLuint program) {
  return !failedPrograms.empty() && failedPrograms.count(program) != 0;
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
  if (programID == currentProgram || gr_programFailed(programID)) return;
  currentProgram = programID;
  glcheck::check("Pre use program");
  glUseProgram(programID);
  glcheck::check("Use program");
}

void gr_forgetCurrentProgram() {
  currentProgram = NO_PROGRAM;
  failedPrograms.clear();
  programinfo::forgetAll();
}
