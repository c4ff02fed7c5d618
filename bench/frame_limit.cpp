// The limit frame_bench compares the framework with: a raw SDL + GLEW program,
// no framework code, that draws the bench's sprites as one batched draw call
// per frame. It builds the frame the way a hand-written game would: clear,
// write every sprite's six vertices into one client array, one glDrawArrays,
// swap. Window, context, texture set-up, shaders and blending match what the
// framework does for the same scene, so the difference is the framework's own.
//
//   frame_limit --sprites N --size S [--colored] [--physics] --frames F
//
// Sprite i is an S x S square at the position the bench's scenes give node i.
// --colored adds a colour per vertex (the particle shader's layout).
// --physics makes the sprites the boxes of bench/pile.h instead: every frame
// but the first steps that Box2D world (the framework meets its world in the
// first frame's scene walk) and draws each box where it is, turned as it is.
#include <GL/glew.h>
#include <SDL.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pile.h"

namespace {
const int WIDTH = 1280;
const int HEIGHT = 720;

// The framework's "pt" shaders, and with COLORED its "ptc" (a colour per
// vertex), after a "#version 120" line and the define.
const char* const VERTEX_SHADER = R"(
attribute vec3 in_position;
attribute vec2 in_uv;
uniform mat4 projection;
varying vec2 uv;
#ifdef COLORED
attribute vec4 in_color;
varying vec4 vertexColor;
#endif
void main() {
  uv = in_uv;
#ifdef COLORED
  vertexColor = in_color;
#endif
  gl_Position = projection * vec4(in_position, 1.0);
})";

const char* const FRAGMENT_SHADER = R"(
uniform sampler2D textureSampler;
uniform vec4 color;
varying vec2 uv;
#ifdef COLORED
varying vec4 vertexColor;
#endif
void main() {
#ifdef COLORED
  gl_FragColor = texture2D(textureSampler, uv) * vertexColor * color;
#else
  gl_FragColor = texture2D(textureSampler, uv) * color;
#endif
})";

struct Options {
  int sprites = 1000;
  int size = 64;
  bool colored = false;
  bool physics = false;
  int frames = 100;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--colored") {
      options.colored = true;
      continue;
    }
    if (arg == "--physics") {
      options.physics = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    int value = atoi(argv[++i]);
    if (arg == "--sprites") options.sprites = value;
    else if (arg == "--size") options.size = value;
    else if (arg == "--frames") options.frames = value;
    else return false;
  }
  return options.sprites >= 0 && options.size > 0 && options.frames > 0;
}

// Where the bench's scenes put node i (frame_bench writes the same formula in Lua).
void position(int i, float& x, float& y) {
  x = static_cast<float>((static_cast<long long>(i) * 7919) % 1240 - 620);
  y = static_cast<float>((static_cast<long long>(i) * 104729) % 680 - 340);
}

GLuint compile(GLenum kind, const char* body, bool colored) {
  const char* parts[] = {"#version 120\n", colored ? "#define COLORED\n" : "", body};
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 3, parts, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    fprintf(stderr, "frame_limit: shader: %s\n", log);
    exit(1);
  }
  return shader;
}

// The side of the square texture the framework stores a picture of `size`
// pixels in: the next power of two.
int sheetSide(int size) {
  int side = 1;
  while (side < size) side *= 2;
  return side;
}

// The bench's texture pixels: the same bytes frame_bench writes into its PNG,
// opaque (so premultiplying changes nothing), in the top-left corner of a
// transparent square of sheetSide(size), stored with one level like the
// framework's textures and sprite sheet.
GLuint makeTexture(int size) {
  int side = sheetSide(size);
  std::vector<unsigned char> pixels(static_cast<size_t>(side) * side * 4);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      unsigned char* p = &pixels[(static_cast<size_t>(y) * side + x) * 4];
      p[0] = static_cast<unsigned char>(x * 255 / size);
      p[1] = static_cast<unsigned char>(y * 255 / size);
      p[2] = 160;
      p[3] = 255;
    }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, side, side);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  return texture;
}

// Writes sprite i's six vertices (two triangles) at `out`, sampling the
// texture from 0 to `uv` on both axes, turned by the angle whose cosine and
// sine are given.
float* writeSprite(float* out, float x, float y, float half, float uv, bool colored,
                   float cosine = 1, float sine = 0) {
  static const int CORNERS[6][2] = {{-1, -1}, {1, 1}, {-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
  for (const auto& corner : CORNERS) {
    float dx = corner[0] * half, dy = corner[1] * half;
    *out++ = x + cosine * dx - sine * dy;
    *out++ = y + sine * dx + cosine * dy;
    *out++ = 0;
    *out++ = corner[0] > 0 ? uv : 0.0f;
    *out++ = corner[1] > 0 ? uv : 0.0f;
    if (colored)
      for (int c = 0; c < 4; ++c) *out++ = 1;
  }
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    fprintf(stderr, "usage: frame_limit --sprites N --size S [--colored] --frames F\n");
    return 2;
  }
  // The allocator setting the framework makes at start-up: the driver's
  // per-frame storage is reused instead of faulted in again every frame.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  if (SDL_Init(SDL_INIT_VIDEO) < 0) return 1;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_Window* window = SDL_CreateWindow("frame_limit", SDL_WINDOWPOS_UNDEFINED,
                                        SDL_WINDOWPOS_UNDEFINED, WIDTH, HEIGHT, SDL_WINDOW_OPENGL);
  if (!window) return 1;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  SDL_GL_SetSwapInterval(0);
  glewExperimental = GL_TRUE;
  glewInit();
  glGetError();

  GLuint program = glCreateProgram();
  glAttachShader(program, compile(GL_VERTEX_SHADER, VERTEX_SHADER, options.colored));
  glAttachShader(program, compile(GL_FRAGMENT_SHADER, FRAGMENT_SHADER, options.colored));
  glLinkProgram(program);
  glUseProgram(program);

  // The framework's default camera: one unit a pixel, the origin in the middle.
  const float projection[16] = {2.0f / WIDTH, 0, 0, 0, 0, 2.0f / HEIGHT, 0, 0,
                                0, 0, -1.0f / 10000, 0, 0, 0, 0, 1};
  glUniformMatrix4fv(glGetUniformLocation(program, "projection"), 1, GL_FALSE, projection);
  glUniform4f(glGetUniformLocation(program, "color"), 1, 1, 1, 1);
  glUniform1i(glGetUniformLocation(program, "textureSampler"), 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, makeTexture(options.size));
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, WIDTH, HEIGHT);

  std::vector<float> positions(static_cast<size_t>(options.sprites) * 2);
  for (int i = 0; i < options.sprites; ++i) position(i, positions[2 * i], positions[2 * i + 1]);

  const int floatsPerVertex = options.colored ? 9 : 5;
  std::vector<float> vertices(static_cast<size_t>(options.sprites) * 6 * floatsPerVertex);
  GLsizei stride = floatsPerVertex * static_cast<GLsizei>(sizeof(float));
  GLint positionAt = glGetAttribLocation(program, "in_position");
  GLint uvAt = glGetAttribLocation(program, "in_uv");
  GLint colorAt = glGetAttribLocation(program, "in_color");
  glEnableVertexAttribArray(static_cast<GLuint>(positionAt));
  glEnableVertexAttribArray(static_cast<GLuint>(uvAt));
  glVertexAttribPointer(static_cast<GLuint>(positionAt), 3, GL_FLOAT, GL_FALSE, stride,
                        vertices.data());
  glVertexAttribPointer(static_cast<GLuint>(uvAt), 2, GL_FLOAT, GL_FALSE, stride,
                        vertices.data() + 3);
  if (options.colored) {
    glEnableVertexAttribArray(static_cast<GLuint>(colorAt));
    glVertexAttribPointer(static_cast<GLuint>(colorAt), 4, GL_FLOAT, GL_FALSE, stride,
                          vertices.data() + 5);
  }

  b2World world(b2Vec2(0, -9.8f));
  std::vector<b2Body*> boxes;
  if (options.physics) boxes = pile::build(world, options.sprites);
  double accumulated = 0;

  float half = static_cast<float>(options.size) / 2;
  // A sprite shows the picture, not the sheet's padding around it.
  float uv = static_cast<float>(options.size) / static_cast<float>(sheetSide(options.size));
  for (int frame = 0; frame < options.frames; ++frame) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    glClearColor(0.9f, 0.6f, 0.3f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    float* out = vertices.data();
    if (options.physics) {
      if (frame > 0) pile::advance(world, accumulated, 0.016);
      for (b2Body* box : boxes) {
        const b2Transform& at = box->GetTransform();
        out = writeSprite(out, at.p.x * pile::PIXELS_PER_METER, at.p.y * pile::PIXELS_PER_METER,
                          half, uv, options.colored, at.q.c, at.q.s);
      }
    } else {
      for (int i = 0; i < options.sprites; ++i)
        out = writeSprite(out, positions[2 * i], positions[2 * i + 1], half, uv, options.colored);
    }
    glDrawArrays(GL_TRIANGLES, 0, options.sprites * 6);
    SDL_GL_SwapWindow(window);
  }
  if (glGetError() != GL_NO_ERROR) fprintf(stderr, "frame_limit: GL error\n");
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
