// Shared ground for the renderer tests: a GL window, a fresh temporary game
// folder as working directory (so shader files can be written per test), an
// empty program cache, and small builders for batches and textures.
#pragma once

#include <initializer_list>
#include <string>

#include "render/graphics.h"
#include "support/game_run.h"
#include "support/gl_fixture.h"

namespace rendertest {

// A vertex shader that takes in_position in clip space, and a fragment shader
// that outputs the vec4 uniform `color`: the plainest program to draw with.
extern const char* const CLIP_VS;
extern const char* const COLOR_FS;

class RenderTest : public testsupport::GLTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes assets/shaders/gl210/NAME.vs or .fs into the game folder.
  void writeVertexShader(const std::string& name, const std::string& source) const;
  void writeFragmentShader(const std::string& name, const std::string& source) const;

  testsupport::GameFolder game;

 private:
  std::string previousDir;
};

// A uniform owning a copy of `values`.
Uniform floats(std::initializer_list<float> values);
// A sampler uniform naming `texture`.
Uniform textureName(GLuint texture);
// A 1 × 1 texture of one colour, not premultiplied.
GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b, unsigned char a);

// The rectangle from (x0, y0) to (x1, y1) in clip space as two triangles, six
// vertices of in_position (3 floats) then in_uv (2 floats), uv 0..1 across it.
struct Quad {
  float vertices[30];
  Quad(float x0, float y0, float x1, float y1);
};
// A batch of `quad` with attributes in_position and in_uv, two triangles.
Batch quadBatch(GLuint program, Quad& quad);

// A list holding copies of `batches`, in order.
BatchList listOf(std::initializer_list<Batch> batches);
// The attribute of that name in the set, or null.
const Attribute* attributeNamed(const AttributeSet& set, const std::string& name);
// The program GL has bound.
GLuint boundProgram();

// A pixel of the window's back buffer or of a render target, GL's y (from the
// bottom); the window framebuffer is bound afterwards.
testsupport::RGBA windowPixel(int x, int y);
testsupport::RGBA targetPixel(const std::string& target, int x, int y);

}  // namespace rendertest
