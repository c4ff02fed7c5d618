// Cost of drawing a frame's batches: N textured rectangles shaped like the
// texture pass's (vertices in the list's frame memory, projection, sampler,
// colour), drawn with gr_renderBatches into a small window, with and without
// joining them into one draw call; and of scaling a full-screen frame into the
// display. Needs a display (run under xvfb-run).
#include <benchmark/benchmark.h>

#include <cstring>

#include "gl_context.h"
#include "render/screenframe.h"

namespace {
using bench::ensureContext;

void addRectangle(BatchList& list, GLuint program, GLuint texture, float x) {
  static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  static const float white[4] = {1, 1, 1, 1};
  const float corners[30] = {x, 0, 0, 0, 0, x + 0.1f, 0, 0, 1, 0, x + 0.1f, 0.1f, 0, 1, 1,
                             x, 0, 0, 0, 0, x + 0.1f, 0.1f, 0, 1, 1, x, 0.1f, 0, 0, 1};
  Batch& batch = list.add();
  batch.data = list.vertices(30);
  memcpy(batch.data, corners, sizeof corners);
  batch.triangles = 2;
  batch.attributes.set("in_position", Attribute{3, 0});
  batch.attributes.set("in_uv", Attribute{2, 3});
  batch.program = program;
  batch.enableBlending = true;
  batch.uniforms.set("projection", identity, sizeof identity);
  batch.uniforms.set("color", white, sizeof white);
  batch.uniforms.set("textureSampler", &texture, sizeof texture);
}

void drawRectangles(benchmark::State& state, bool merging) {
  ensureContext();
  gr_setDrawMerging(merging);
  GLuint program = gr_getProgram("pt", "pt");
  unsigned char pixel[4] = {200, 100, 50, 255};
  GLuint texture = gr_createTexture(pixel, 1, 1, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1);
  int count = static_cast<int>(state.range(0));
  BatchMatrix matrix(1);
  for (auto _ : state) {
    matrix[0].clear();
    for (int i = 0; i < count; ++i) addRectangle(matrix[0], program, texture, -1.0f + 1.9f * i / count);
    gr_renderBatches(matrix);
    glFinish();
  }
  gr_setDrawMerging(true);
  state.SetItemsProcessed(state.iterations() * count);
}

void joined(benchmark::State& state) { drawRectangles(state, true); }
void oneCallEach(benchmark::State& state) { drawRectangles(state, false); }
BENCHMARK(joined)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(oneCallEach)->Arg(10)->Arg(100)->Arg(1000);

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
