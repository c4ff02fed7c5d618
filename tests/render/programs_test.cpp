// The program cache, shader file lookup and program switching, with a real GL
// context.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "assets/frameworkfiles.h"
#include "render/graphics.h"
#include "render/render_fixture.h"
#include "render/shaderfiles.h"
#include "support/capture.h"
#include "support/game_run.h"

using testsupport::captureOutput;
using rendertest::RenderTest;
using testsupport::countLines;
using testsupport::linesInOrder;

namespace {
const char* const BROKEN_FS = "#version 120\nvoid main() { gl_FragColor = nonsense; }\n";

std::string solidFragment(const char* rgba) {
  return std::string("#version 120\nvoid main() { gl_FragColor = vec4(") + rgba + "); }\n";
}

class Programs : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    writeVertexShader("clip", rendertest::CLIP_VS);
  }
};
}  // namespace

TEST_F(Programs, EachPairIsBuiltOnceAndSharesNothingWithOtherPairs) {
  writeFragmentShader("red", solidFragment("1.0, 0.0, 0.0, 1.0"));
  writeFragmentShader("green", solidFragment("0.0, 1.0, 0.0, 1.0"));
  GLuint first = 0, again = 0, other = 0;
  std::string log = captureOutput([&] {
    first = gr_getProgram("clip", "red");
    again = gr_getProgram("clip", "red");
    other = gr_getProgram("clip", "green");
  });
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  EXPECT_EQ(gr_programs["clip"].size(), 2u);
  EXPECT_EQ(gr_programs["clip"]["red"], first);
  // The vertex shader is compiled again for the second pair, each file once per pair.
  EXPECT_EQ(countLines(log, "Compiling shader assets/shaders/gl210/clip.vs"), 2);
  EXPECT_EQ(countLines(log, "Compiling shader assets/shaders/gl210/red.fs"), 1);
  EXPECT_EQ(countLines(log, "Compiling shader assets/shaders/gl210/green.fs"), 1);
  EXPECT_TRUE(linesInOrder(log, {"Compiling shader assets/shaders/gl210/clip.vs", "",
                                 "Shader created", "Compiling shader assets/shaders/gl210/red.fs"}))
      << log;
}

TEST_F(Programs, ABrokenShaderIsLoggedAndCachedLikeAnyOther) {
  writeFragmentShader("broken", BROKEN_FS);
  GLuint program = 0;
  std::string log = captureOutput([&] { program = gr_getProgram("clip", "broken"); });
  EXPECT_NE(log.find("nonsense"), std::string::npos) << "the compile log names the fault: " << log;
  GLint linked = GL_TRUE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  EXPECT_EQ(linked, GL_FALSE);
  EXPECT_EQ(gr_programs["clip"]["broken"], program);
  EXPECT_TRUE(gr_programFailed(program));
  EXPECT_EQ(testsupport::countLinesStartingWith(
                log, "Shader pair assets/shaders/gl210/clip.vs assets/shaders/gl210/broken.fs "
                     "does not link, its draws are skipped: "),
            1)
      << log;
  std::string second = captureOutput([&] { EXPECT_EQ(gr_getProgram("clip", "broken"), program); });
  EXPECT_EQ(second, "");
  // Built again once the cache is emptied, the pair is not reported again.
  gr_programs.clear();
  std::string third = captureOutput([&] { gr_getProgram("clip", "broken"); });
  EXPECT_EQ(testsupport::countLinesStartingWith(third, "Shader pair "), 0) << third;
}

TEST_F(Programs, TheGamesOwnShaderWinsAndTheFrameworkFillsTheRest) {
  writeVertexShader("pt", rendertest::CLIP_VS);
  EXPECT_EQ(shaderfiles::find("pt", "vs"), "assets/shaders/gl210/pt.vs");
  std::string framework = shaderfiles::find("pt", "fs");
  EXPECT_NE(framework, "assets/shaders/gl210/pt.fs");
  EXPECT_EQ(framework.substr(framework.size() - 20), "/shaders/gl210/pt.fs");
  std::string bytes, error;
  EXPECT_TRUE(frameworkfiles::read(framework, bytes, error)) << framework << ": " << error;
  // Nowhere to be found: the game's path, for the caller's message.
  EXPECT_EQ(shaderfiles::find("absent", "vs"), "assets/shaders/gl210/absent.vs");
}

TEST_F(Programs, TheFrameworkShadersLinkAndUseOnlyWhatTheirPassesSupply) {
  struct Pair {
    const char* name;
    std::vector<std::string> supplied;
  };
  const Pair pairs[] = {
      {"simple", {}},
      {"pt", {"projection", "textureSampler", "color", "width", "height"}},
      {"ptc", {"projection", "textureSampler", "color"}},
      {"p", {"transform", "normalTransform", "projection", "color"}},
      {"pn", {"transform", "normalTransform", "projection", "color"}},
      {"pnt", {"transform", "normalTransform", "projection", "color", "textureSampler"}},
  };
  for (const Pair& pair : pairs) {
    GLuint program = gr_getProgram(pair.name, pair.name);
    GLint linked = GL_FALSE, count = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    EXPECT_EQ(linked, GL_TRUE) << pair.name;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint index = 0; index < count; ++index) {
      char name[100];
      GLint size;
      GLenum type;
      glGetActiveUniform(program, static_cast<GLuint>(index), sizeof name, nullptr, &size, &type,
                         name);
      EXPECT_NE(std::find(pair.supplied.begin(), pair.supplied.end(), name), pair.supplied.end())
          << pair.name << " uses " << name;
    }
  }
}

TEST_F(Programs, AMissingShaderFileGivesAFailedProgramThatIsNeverBound) {
  writeFragmentShader("red", solidFragment("1.0, 0.0, 0.0, 1.0"));
  GLuint working = gr_getProgram("clip", "red");
  gr_useProgram(working);
  GLuint missing = 0;
  std::string log = captureOutput([&] { missing = gr_createProgram("nothere", "red"); });
  EXPECT_TRUE(linesInOrder(
      log, {"Failed to open shader assets/shaders/gl210/nothere.vs",
            "Shader pair assets/shaders/gl210/nothere.vs assets/shaders/gl210/red.fs does not "
            "link, its draws are skipped: assets/shaders/gl210/nothere.vs cannot be read"}))
      << log;
  EXPECT_NE(missing, 0u);
  EXPECT_TRUE(gr_programFailed(missing));
  EXPECT_FALSE(gr_programFailed(working));
  gr_useProgram(missing);
  EXPECT_EQ(rendertest::boundProgram(), working);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Programs, ANameTooLongForThePathBufferIsRefused) {
  // "assets/shaders/gl210/" + name + ".vs" must stay below 128 characters.
  std::string fits(128 - 1 - 21 - 3, 'n'), tooLong = fits + "n";
  EXPECT_EQ(shaderfiles::find(fits, "vs"), "assets/shaders/gl210/" + fits + ".vs");
  std::string log = captureOutput([&] { EXPECT_EQ(shaderfiles::find(tooLong, "vs"), ""); });
  EXPECT_EQ(log, "Shader name too long (104 characters): " + tooLong + "\n");

  std::string huge(4000, 'x');
  GLuint program = 0;
  log = captureOutput([&] { program = gr_createProgram(huge.c_str(), "simple"); });
  EXPECT_TRUE(gr_programFailed(program));
  EXPECT_EQ(countLines(log, "Shader name too long (4000 characters): " + huge), 1);
  EXPECT_NE(log.find(huge + ".vs cannot be read\n"), std::string::npos);
}
