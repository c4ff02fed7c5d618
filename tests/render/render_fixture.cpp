// Shared ground for the renderer tests.
#include "render/render_fixture.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace rendertest {

const char* const CLIP_VS =
    "#version 120\n"
    "attribute vec3 in_position;\n"
    "void main() { gl_Position = vec4(in_position, 1.0); }\n";
const char* const COLOR_FS =
    "#version 120\n"
    "uniform vec4 color;\n"
    "void main() { gl_FragColor = color; }\n";

namespace {
// The GL driver is unloaded when the display closes, after which the leak
// checker can no longer name it in the stacks of the driver's own leftover
// allocations, and its suppressions stop matching. Keeping the driver loaded
// until exit keeps them attributable.
int pinDriver(dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && strstr(info->dlpi_name, "/dri/"))
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
}  // namespace

void RenderTest::SetUp() {
  dl_iterate_phdr(pinDriver, nullptr);
  char cwd[4096];
  previousDir = getcwd(cwd, sizeof cwd) ? cwd : ".";
  ASSERT_EQ(chdir(game.path().c_str()), 0);
  gr_programs.clear();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, WIDTH, HEIGHT);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderTest::TearDown() {
  if (chdir(previousDir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previousDir;
}

void RenderTest::writeVertexShader(const std::string& name, const std::string& source) const {
  game.write("assets/shaders/gl210/" + name + ".vs", source);
}

void RenderTest::writeFragmentShader(const std::string& name, const std::string& source) const {
  game.write("assets/shaders/gl210/" + name + ".fs", source);
}

Uniform floats(std::initializer_list<float> values) {
  size_t size = values.size() * sizeof(float);
  void* buffer = malloc(size);
  memcpy(buffer, values.begin(), size);
  return Uniform(size, buffer);
}

Uniform textureName(GLuint texture) {
  void* buffer = malloc(sizeof texture);
  memcpy(buffer, &texture, sizeof texture);
  return Uniform(sizeof texture, buffer);
}

GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
  unsigned char pixel[4] = {r, g, b, a};
  return gr_createTexture(pixel, 1, 1, 0, GL_RGBA, GL_RGBA, GL_REPEAT, 1);
}

Quad::Quad(float x0, float y0, float x1, float y1) {
  const float corners[6][5] = {{x0, y0, 0, 0, 0}, {x1, y0, 0, 1, 0}, {x1, y1, 0, 1, 1},
                               {x0, y0, 0, 0, 0}, {x1, y1, 0, 1, 1}, {x0, y1, 0, 0, 1}};
  memcpy(vertices, corners, sizeof vertices);
}

Batch quadBatch(GLuint program, Quad& quad) {
  Batch batch;
  batch.data = quad.vertices;
  batch.triangles = 2;
  batch.attributes.set("in_position", Attribute{3, 0});
  batch.attributes.set("in_uv", Attribute{2, 3});
  batch.program = program;
  return batch;
}

namespace {
testsupport::RGBA readPixel(GLuint frameBuffer, int x, int y) {
  glFinish();
  glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
  unsigned char value[4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, value);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return {value[0], value[1], value[2], value[3]};
}
}  // namespace

testsupport::RGBA windowPixel(int x, int y) { return readPixel(0, x, y); }

testsupport::RGBA targetPixel(const std::string& target, int x, int y) {
  const RenderTarget* found = gr_getRenderTarget(target);
  if (!found) {
    ADD_FAILURE() << "no render target " << target;
    return {-1, -1, -1, -1};
  }
  return readPixel(found->frameBuffer, x, y);
}
BatchList listOf(std::initializer_list<Batch> batches) {
  BatchList list;
  for (const Batch& batch : batches) list.add() = batch;
  return list;
}

const Attribute* attributeNamed(const AttributeSet& set, const std::string& name) {
  NameId id = gr_nameId(name);
  for (const AttributeSet::Entry& entry : set)
    if (entry.name == id) return &entry.attribute;
  return nullptr;
}

GLuint boundProgram() {
  GLint program = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  return static_cast<GLuint>(program);
}
}  // namespace rendertest
