// Cost of drawing a frame's batches: N textured rectangles shaped like the
// texture pass's (owned vertex block, projection, sampler, colour), drawn with
// gr_renderBatches into a small window; and of scaling a full-screen frame
// into the display. Needs a display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "gl_context.h"
#include "render/screenframe.h"

namespace {
using bench::ensureContext;

Uniform copyOf(const void* bytes, size_t size) {
  void* buffer = malloc(size);
  memcpy(buffer, bytes, size);
  return Uniform(size, buffer);
}

Batch rectangle(GLuint program, GLuint texture, float x) {
  static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  static const float white[4] = {1, 1, 1, 1};
  const float corners[30] = {x, 0, 0, 0, 0, x + 0.1f, 0, 0, 1, 0, x + 0.1f, 0.1f, 0, 1, 1,
                             x, 0, 0, 0, 0, x + 0.1f, 0.1f, 0, 1, 1, x, 0.1f, 0, 0, 1};
  Batch batch;
  batch.data = static_cast<GLfloat*>(malloc(sizeof corners));
  memcpy(batch.data, corners, sizeof corners);
  batch.freeData = true;
  batch.triangles = 2;
  batch.attributes["in_position"] = Attribute{3, 0};
  batch.attributes["in_uv"] = Attribute{2, 3};
  batch.program = program;
  batch.enableBlending = true;
  batch.uniforms["projection"] = copyOf(identity, sizeof identity);
  batch.uniforms["color"] = copyOf(white, sizeof white);
  batch.uniforms["textureSampler"] = copyOf(&texture, sizeof texture);
  return batch;
}

void drawRectangles(benchmark::State& state) {
  ensureContext();
  GLuint program = gr_getProgram("pt", "pt");
  unsigned char pixel[4] = {200, 100, 50, 255};
  GLuint texture = gr_createTexture(pixel, 1, 1, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1);
  int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    BatchMatrix matrix(1);
    for (int i = 0; i < count; ++i)
      matrix[0].push_back(rectangle(program, texture, -1.0f + 1.9f * i / count));
    gr_renderBatches(std::move(matrix));
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(drawRectangles)->Arg(10)->Arg(100)->Arg(1000);

// What a full-screen run pays per frame when the display keeps its own size:
// scaling a 320 x 240 frame into a 16:9 window of the argument's height and
// showing it, against showing a window of that size that was only cleared.
void showWindow(benchmark::State& state, bool scaled) {
  ensureContext();
  int height = static_cast<int>(state.range(0)), width = height * 16 / 9;
  SDL_SetWindowSize(window, width, height);
  gr_useScreenFrame(320, 240);
  FramePlacement placement = fitFrame(320, 240, width, height);
  for (auto _ : state) {
    if (scaled) {
      gr_presentScreenFrame(width, height, placement);
    } else {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    SDL_GL_SwapWindow(window);
    glFinish();
  }
  gr_useScreenFrame(0, 0);
  SDL_SetWindowSize(window, 320, 240);
  glViewport(0, 0, 320, 240);
}
void presentScaledFrame(benchmark::State& state) { showWindow(state, true); }
void showClearedWindow(benchmark::State& state) { showWindow(state, false); }
BENCHMARK(showClearedWindow)->Arg(720)->Arg(1080);
BENCHMARK(presentScaledFrame)->Arg(720)->Arg(1080);
}  // namespace
