// The renderer's contract: the Batch record and its drawing, shader programs and
// their cache, textures and named render targets.
//
// Everything drawn is a Batch: interleaved vertex data in client memory, the
// attribute layout, a program, named uniform values, a target and four switches.
// GL failures are fatal: a labelled "OpenGL error" line and exit status 1.
#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

// Attribute slots of a batch. A macro, so that the graphics module shows the
// length itself: the constant as a plain number, the array as "int [6]".
#define MAX_ATTRIBUTES 6

// One vertex attribute: component count and offset within a vertex, in floats.
struct Attribute {
  size_t size = 0;
  int offset = 0;
};

// One uniform value. Owns `value` (a malloc'd buffer of `size` bytes): copies
// are deep, moves transfer, destruction frees.
struct Uniform {
  size_t size;
  void* value;

  Uniform();
  Uniform(size_t size, void* value);  // adopts a malloc'd buffer
  Uniform(const Uniform& other);
  Uniform(Uniform&& other) noexcept;
  Uniform& operator=(const Uniform& other);
  Uniform& operator=(Uniform&& other) noexcept;
  ~Uniform();
};

struct Batch {
  GLfloat* data = nullptr;            // interleaved vertices, getStride() floats each
  unsigned int* indices = nullptr;    // triangle list, or null
  int indexCount = 0;                 // entries in indices
  int triangles = 0;                  // triangles drawn in order when indices is null
  int attributeSizes[MAX_ATTRIBUTES] = {};  // not read by the renderer
  std::map<std::string, Attribute> attributes;
  int stride = 0;                     // not read: the renderer computes getStride()
  bool freeData = false;              // gr_renderBatches frees data and indices
  GLuint program = 0;
  std::map<std::string, Uniform> uniforms;
  std::string targetName;             // render target; empty is the window
  std::string layerName;              // not read by the renderer
  bool enableDepthTest = false;
  bool enableBlending = false;
  bool enableCulling = false;
  bool clearTarget = false;           // clear the target before drawing this batch

  int getStride();
};

// One deque per camera, drawn in order.
using BatchMatrix = std::vector<std::deque<Batch>>;

struct RenderTarget {
  GLuint frameBuffer = 0;
  GLuint texture = 0;
  int width = 0;
  int height = 0;
};

// Shader programs
extern std::string SHADER_VERSION;
extern std::map<std::string, std::map<std::string, GLuint>> gr_programs;

GLuint gr_loadShader(const char* filePath, GLenum shaderType);  // 0 when unreadable
// Builds the pair from the game's assets/shaders/<version>/ files, else the
// framework's copies. A missing file or a name too long for the path ends the
// run at the attach check.
GLuint gr_createProgram(const char* vs, const char* fs);
// Builds the pair like gr_createProgram for a rebuild during the run: a file
// that cannot be read, a shader that does not compile or a pair that does not
// link gives one log line and 0 instead of ending the run.
GLuint gr_tryCreateProgram(const char* vs, const char* fs);
GLuint gr_getProgram(std::string vs, std::string ps);
// True when drawing with the program reads a batch uniform called `name`: an
// active uniform of that name, or a vector uniform fed from it under its name
// without the first two characters (u_tint from tint), as gr_render feeds them.
bool gr_programUses(GLuint program, const std::string& name);
// Binds the program unless it is the one this switch bound last.
void gr_useProgram(GLuint programID);
// The program gr_useProgram bound last; GLuint(-1) before the first.
GLuint gr_currentProgram();
// Forgets the last binding, for a new GL context whose binding is 0.
void gr_forgetCurrentProgram();

// Textures and render targets
extern std::map<std::string, RenderTarget> renderTargets;
extern GLuint testProgramID;  // the diagnostic program gr_testrender draws with

void gr_init();
void gr_setClearColor(int r, int g, int b, int a);
// A new texture of `data` (width × height RGBA bytes, rows as stored), which
// belongs to the caller: nothing here deletes it. Premultiplies `data` in place
// when asked and `format` is GL_RGBA. The storage is always GL_RGBA8:
// `internalFormat` is ignored. mipmapLevels is clamped (and the change logged)
// to 1 .. floor(log2(max(width, height))) + 1. A GL error ends the run.
GLuint gr_createTexture(unsigned char* data, int width, int height, int premultiplyAlpha,
                        GLint internalFormat, GLint format, GLint wrap, GLuint mipmapLevels);
// A size that is not positive, or over GL_MAX_TEXTURE_SIZE, is logged and
// nothing is made (any target of that name stays).
void gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth);
// A target in no registry, left bound; the caller owns its GL objects.
RenderTarget gr_newRenderTarget(int width, int height, GLint internalFormat, GLenum format,
                                GLenum type, bool depth);
// The named target, owned by `renderTargets` (its address stays valid); null
// for an unknown name.
RenderTarget* gr_getRenderTarget(const std::string& name);
void gr_clearRenderTargets();
void gr_prepareFrameBuffer();

// Drawing
// A null batch, or one with attributes but no vertex data, draws nothing. A
// uniform value shorter than its GLSL type is logged and not uploaded.
void gr_render(Batch* batch);
// Draws deque 0 first; afterwards releases every freeData block once. (The
// parameter is a BatchMatrix, spelled out for the graphics module's messages.)
void gr_renderBatches(std::vector<std::deque<Batch>> batchMatrix);
void gr_testrender();
