// The web's shader dialect: every shader the framework and its examples ship,
// rewritten as GLSL ES 1.00, compiles and links (Mesa takes "#version 100" on
// the desktop), and the driver's line numbers still name the file's lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/glsles.h"
#include "render/gl.h"
#include "support/gl_fixture.h"

namespace fs = std::filesystem;

namespace {
std::string read(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

GLuint compile(GLenum stage, const std::string& source, std::string& log) {
  GLuint shader = glCreateShader(stage);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  char message[2048] = {};
  glGetShaderInfoLog(shader, sizeof message, nullptr, message);
  log = message;
  return shader;
}

bool compiles(GLuint shader) {
  GLint status = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE;
}

// Every NAME.vs with its NAME.fs under the shader folders of the source tree.
std::vector<fs::path> pairs() {
  std::vector<fs::path> found;
  fs::path source = TARNWICK_SOURCE_DIR;
  std::vector<fs::path> folders = {source / "assets/shaders/gl210"};
  for (const auto& example : fs::directory_iterator(source / "examples"))
    folders.push_back(example.path() / "assets/shaders/gl210");
  for (const fs::path& folder : folders) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& file : fs::directory_iterator(folder))
      if (file.path().extension() == ".vs" &&
          fs::exists(fs::path(file.path()).replace_extension(".fs")))
        found.push_back(fs::path(file.path()).replace_extension());
  }
  return found;
}

class GlslEs : public testsupport::GLTest {};
}  // namespace

TEST_F(GlslEs, EveryShippedPairCompilesAndLinksAsGlslEs) {
  std::vector<fs::path> shipped = pairs();
  ASSERT_GE(shipped.size(), 7u);
  for (const fs::path& pair : shipped) {
    std::string vertexLog, fragmentLog;
    GLuint vertex = compile(GL_VERTEX_SHADER,
                            glsles::fromGlsl120(read(pair.string() + ".vs")), vertexLog);
    GLuint fragment = compile(GL_FRAGMENT_SHADER,
                              glsles::fromGlsl120(read(pair.string() + ".fs")), fragmentLog);
    EXPECT_TRUE(compiles(vertex)) << pair << ".vs: " << vertexLog;
    EXPECT_TRUE(compiles(fragment)) << pair << ".fs: " << fragmentLog;
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    char message[2048] = {};
    glGetProgramInfoLog(program, sizeof message, nullptr, message);
    EXPECT_EQ(linked, GL_TRUE) << pair << ": " << message;
    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
  }
}

TEST_F(GlslEs, DirectivesMoveAndTheDriverCitesTheFilesLines) {
  // A comment before the version line, an extension after it, and a fault on
  // line 6 that only GLSL ES has: an int where a float belongs.
  std::string file =
      "// tinted\n"
      "#version 120\n"
      "#extension GL_OES_standard_derivatives : enable\n"
      "uniform vec4 color;\n"
      "void main() {\n"
      "  float scale = 1;\n"
      "  gl_FragColor = color * scale;\n"
      "}\n";
  std::string translated = glsles::fromGlsl120(file);
  EXPECT_EQ(translated.rfind("#version 100\n#extension GL_OES_standard_derivatives : enable\n", 0),
            0u)
      << translated;
  std::string log;
  GLuint shader = compile(GL_FRAGMENT_SHADER, translated, log);
  EXPECT_FALSE(compiles(shader));
  EXPECT_NE(log.find("0:6("), std::string::npos) << log;
  glDeleteShader(shader);
}
