// The renderer's contract: the Batch record and its drawing, shader programs and
// their cache, textures and named render targets.
//
// Everything drawn is a Batch: interleaved vertex data in client memory, the
// attribute layout, a program, named uniform values, a target and four switches.
// What a program declares (its active uniforms, its attribute locations) is
// asked of GL once per program, and a uniform value the program already holds
// is not uploaded again.
// GL failures are fatal: a labelled "OpenGL error" line and exit status 1. A
// shader pair that does not link is not: its draws are skipped.
#pragma once

#include "render/gl.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "render/names.h"

// Attribute slots of a batch (the graphics module lists the same number).
#define MAX_ATTRIBUTES 6

// One vertex attribute: component count and offset within a vertex, in floats.
struct Attribute {
  size_t size = 0;
  int offset = 0;
};

// One uniform value. Owns `value` (a malloc'd buffer of `size` bytes): copies
// are deep, moves transfer, destruction frees. A batch copies it into its
// UniformSet (UniformSet::set).
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

// A batch's vertex layout: up to MAX_ATTRIBUTES attributes by name, held in the
// record itself. The stride is the sum of their sizes.
struct AttributeSet {
  struct Entry {
    NameId name = 0;
    Attribute attribute;
  };
  Entry entries[MAX_ATTRIBUTES];
  int count = 0;

  // Sets the named attribute, replacing one of the same name. When all slots
  // are taken a new name is left out and the result is false.
  bool set(NameId name, Attribute attribute);
  bool set(const std::string& name, Attribute attribute);
  size_t size() const { return static_cast<size_t>(count); }
  bool empty() const { return count == 0; }
  const Entry* begin() const { return entries; }
  const Entry* end() const { return entries + count; }
  // The same names with the same sizes and offsets, in the same order.
  bool sameAs(const AttributeSet& other) const;
};

// A batch's uniform values by name, in the order their names were first set;
// setting a name again replaces its value. Values are copied in, each starting
// on a 4-byte boundary. Clearing keeps the storage, so a set reused frame after
// frame allocates nothing once it has grown.
struct UniformSet {
  struct Entry {
    NameId name;
    unsigned offset;  // first word of the value in `words`
    unsigned size;    // bytes
  };
  std::vector<Entry> entries;
  std::vector<std::uint32_t> words;

  // Copies `size` bytes from `value` (none when it is null) as the named value.
  void set(NameId name, const void* value, size_t size);
  void set(const std::string& name, const void* value, size_t size);
  void set(const std::string& name, const Uniform& uniform);
  // Removes the named value, if any (its words stay unused until clear()).
  void erase(NameId name);
  // Null when the set has no value of that name.
  const Entry* find(NameId name) const;
  const Entry* find(const std::string& name) const;
  const void* value(const Entry& entry) const { return words.data() + entry.offset; }
  size_t size() const { return entries.size(); }
  bool empty() const { return entries.empty(); }
  void clear();
  // The same names in the same order with the same bytes. (Sets with equal
  // values set in another order compare unequal.)
  bool sameAs(const UniformSet& other) const;
};

struct Batch {
  GLfloat* data = nullptr;            // interleaved vertices, getStride() floats each
  unsigned int* indices = nullptr;    // triangle list, or null
  int indexCount = 0;                 // entries in indices
  int triangles = 0;                  // triangles drawn in order when indices is null
  int attributeSizes[MAX_ATTRIBUTES] = {};  // not read by the renderer
  AttributeSet attributes;
  int stride = 0;                     // not read: the renderer computes getStride()
  bool freeData = false;              // gr_renderBatches frees data and indices
  GLuint program = 0;
  UniformSet uniforms;
  std::string targetName;             // render target; empty is the window
  std::string layerName;              // not read by the renderer
  bool enableDepthTest = false;
  bool enableBlending = false;
  bool enableCulling = false;
  bool clearTarget = false;           // clear the target before drawing this batch

  int getStride() const;
  // Back to the values of a new batch, keeping the uniform storage.
  void reset();
};

// One camera's batches of a frame in drawing order, and frame memory for their
// vertices. It is cleared between frames rather than rebuilt: the batches and
// the vertex blocks keep their storage, so a frame like the one before
// allocates nothing.
struct BatchList {
  std::vector<Batch> batches;  // the first `count` are the list's
  size_t count = 0;
  std::vector<std::vector<GLfloat>> blocks;  // vertex memory
  size_t block = 0;                          // the block being filled
  size_t used = 0;                           // floats taken from it

  BatchList() = default;

  // A new batch at the end. Adding may move the batches: references to
  // earlier ones do not survive it.
  Batch& add();
  size_t size() const { return count; }
  bool empty() const { return count == 0; }
  Batch& operator[](size_t index) { return batches[index]; }
  Batch& back() { return batches[count - 1]; }
  Batch* begin() { return batches.data(); }
  Batch* end() { return batches.data() + count; }
  // Room for `floats` vertex floats that stays in place until clear().
  // Requests follow each other in memory while they fit the current block, so
  // the vertices of consecutive batches can be drawn as one array.
  GLfloat* vertices(size_t floats);
  // Empties the list. Vertex memory spread over several blocks is joined into
  // one, so a steady frame's vertices end up in one piece.
  void clear();
};

// One list per camera, drawn in order.
using BatchMatrix = std::vector<BatchList>;

// How much of a batch list is drawn already: the batches before `batch`
// whole, and the first `triangles` triangles of `batch`.
struct DrawnPrefix {
  size_t batch = 0;
  int triangles = 0;
};

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
// framework's copies. A pair that does not link (a file that cannot be read, a
// name too long for the path, a shader that does not compile) still gives a
// program, marked failed: the first time for the two files, one line names
// them with the driver's message, and under --strict the run ends after the
// frame with status 1.
GLuint gr_createProgram(const char* vs, const char* fs);
// Builds the pair like gr_createProgram for a rebuild during the run: a file
// that cannot be read, a shader that does not compile or a pair that does not
// link gives one log line and 0 instead of ending the run.
GLuint gr_tryCreateProgram(const char* vs, const char* fs);
GLuint gr_getProgram(std::string vs, std::string ps);
// True for a program gr_createProgram built from a pair that does not link:
// gr_useProgram never binds it, and batches drawn with it draw nothing.
bool gr_programFailed(GLuint program);
// True when drawing with the program reads a batch uniform called `name`: an
// active uniform of that name, or a vector uniform fed from it under its name
// without the first two characters (u_tint from tint), as gr_render feeds them.
bool gr_programUses(GLuint program, const std::string& name);
// Binds the program unless it is the one this switch bound last.
void gr_useProgram(GLuint programID);
// Forgets the last binding and what is known of every program, for a new GL
// context whose binding is 0 and whose program names may be reused.
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
// A size that is not positive, or over GL_MAX_TEXTURE_SIZE, or storage GL has
// no memory for, is logged and nothing is made (any target of that name
// stays); false then.
bool gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth);
// A target in no registry, left bound; the caller owns its GL objects. An
// empty record (frameBuffer 0) when GL has no memory for its storage.
RenderTarget gr_newRenderTarget(int width, int height, GLint internalFormat, GLenum format,
                                GLenum type, bool depth);
// Deletes a target's framebuffer and its colour and depth textures.
void gr_deleteRenderTarget(const RenderTarget& target);
// The named target, owned by `renderTargets` (its address stays valid); null
// for an unknown name.
RenderTarget* gr_getRenderTarget(const std::string& name);
void gr_clearRenderTargets();
void gr_prepareFrameBuffer();

// Drawing
// A null batch, or one with attributes but no vertex data, draws nothing. A
// uniform value shorter than its GLSL type is logged and not uploaded.
void gr_render(Batch* batch);
// Draws list 0 first, each list in order; afterwards releases every freeData
// block once (and clears the batch's pointers to it). Consecutive batches of a
// list that agree on program, target, switches, layout and every uniform
// value, and have no index array, are drawn with one draw call over their
// vertices in order: the same pixels as one call each. (The parameter is a
// BatchMatrix, as the graphics module spells it out.)
void gr_renderBatches(std::vector<BatchList>& batchMatrix);
// Draws what the list holds after `drawn` that can no longer change while its
// camera's batches are still being made (all but a last batch with an index
// array: that one may still grow), flushes so that drawing starts now, and
// moves `drawn` past it. Draws nothing and gives false when one of those
// batches would log or fail while drawn (no program, a uniform value missing
// or too short): that belongs after the scene walk, among the frame's draws.
bool gr_renderFinished(BatchList& list, DrawnPrefix& drawn);
// gr_renderBatches for a frame whose list 0 is drawn up to `firstDrawn`.
void gr_renderBatchesAfter(std::vector<BatchList>& batchMatrix, const DrawnPrefix& firstDrawn);
void gr_testrender();
// Whether batches are joined into one draw call (by gr_renderBatches, and by
// passes that extend the batch before); on unless the environment has
// TARNWICK_NO_DRAW_MERGING when gr_init runs. For comparing pictures with and
// without it.
void gr_setDrawMerging(bool enabled);
bool gr_drawMerging();
// Draw calls issued by gr_render and gr_renderBatches since start-up.
unsigned long gr_drawCalls();
