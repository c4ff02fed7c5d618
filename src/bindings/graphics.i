// The graphics module: the renderer's entry points and records, listed at the
// end. Its text parameters and members are `string` objects (the resources
// module's class), and GL handles travel as boxes that only these calls hand
// out.
%module graphics
%include "bindings/conventions.i"

%{
#include "bindings/recordbox.h"
#include "bindings/uniforms.h"
#include "render/graphics.h"
#include "scene/rendertarget_tables.h"
%}

// A handle returned by value travels in a box that holds the value itself, so
// nothing is left to free when the box is collected.
%typemap(out) GLuint, GLint, GLenum
%{conventions::pushValueBox(L, &$1, sizeof $1, $&descriptor); SWIG_arg++;%}

// Every read of the cache gives a new box owning a snapshot of it, which a
// script may keep and assign back later; the box frees its copy when collected.
%typemap(out) std::map<std::string, std::map<std::string, GLuint>> gr_programs
%{recordbox::pushCopy(L, $1, $&descriptor); SWIG_arg++;%}

// Setters that copy an array or a map out of the given box read through it.
%apply SWIGTYPE NONNULL[ANY] { int attributeSizes[6] }
%apply SWIGTYPE* NONNULL {
  AttributeSet* attributes,
  UniformSet* uniforms,
  std::map<std::string, std::map<std::string, GLuint>>* gr_programs
}
%apply SWIGTYPE INTO_RECORD[ANY] { int attributeSizes[6] }
%apply SWIGTYPE* INTO_RECORD {
  AttributeSet* attributes,
  UniformSet* uniforms
}

// A uniform never takes over a script's pointer: its bytes are copied into a
// buffer the record owns (see uniforms.h), as far as the value's length is
// known. The generator names the typemap's local `extent` after the argument
// number; the value is the second argument of both the constructor and the
// setter, hence `extent2`.
%typemap(in, checkfn="SWIG_isptrtype") void* value (size_t extent = 0)
%{
  if (!SWIG_IsOK(SWIG_ConvertPtr(L, $input, (void**)&$1, 0, 0)))
    SWIG_fail_ptr("$symname", $argnum, $descriptor);
  extent = conventions::valueBoxSize(L, $input);
%}
%feature("action") Uniform::Uniform(size_t, void*)
%{result = new Uniform(uniforms::copied(arg1, arg2, extent2));%}
%typemap(memberin) void* value %{uniforms::assign(*arg1, $input, extent2);%}
// Attribute has a `size` too, which is an ordinary number.
%typemap(memberin) size_t size %{setSize(*arg1, $input);%}
%{
namespace {
void setSize(Uniform& uniform, size_t size) { uniforms::resize(uniform, size); }
void setSize(Attribute& attribute, size_t size) { attribute.size = size; }
}  // namespace
%}
%typemap(out) void* value %{conventions::pushValueBox(L, $1, $1 ? arg1->size : 0, $descriptor); SWIG_arg++;%}

// What scripts get, listed here rather than taken from the renderer's headers:
// a declaration the renderer adds or changes reaches scripts only once it is
// made here too. Each must agree with the real one, which the wrapper calls.

// Attribute slots of a batch. The number itself, so that the module shows the
// constant as a plain number and the array as "int [6]".
#define MAX_ATTRIBUTES 6
%{
static_assert(MAX_ATTRIBUTES == 6, "graphics.i lists six attribute slots");
%}

struct Attribute {
  size_t size;
  int offset;
};

struct Uniform {
  size_t size;
  void* value;
  Uniform();
  Uniform(size_t size, void* value);
  Uniform(const Uniform& other);
  ~Uniform();
};

// A batch's attribute and uniform sets, and the per-camera lists, travel as
// boxes: scripts see their names only.
struct AttributeSet;
struct UniformSet;
struct BatchList;

struct Batch {
  GLfloat* data;
  unsigned int* indices;
  int indexCount;
  int triangles;
  int attributeSizes[MAX_ATTRIBUTES];
  AttributeSet attributes;
  int stride;
  bool freeData;
  GLuint program;
  UniformSet uniforms;
  std::string targetName;
  std::string layerName;
  bool enableDepthTest;
  bool enableBlending;
  bool enableCulling;
  bool clearTarget;
  int getStride();
};

struct RenderTarget {
  GLuint frameBuffer;
  GLuint texture;
  int width;
  int height;
};

extern std::map<std::string, std::map<std::string, GLuint>> gr_programs;

GLuint gr_createProgram(const char* vs, const char* fs);
GLuint gr_getProgram(std::string vs, std::string ps);
void gr_useProgram(GLuint programID);
void gr_init();
void gr_setClearColor(int r, int g, int b, int a);
GLuint gr_createTexture(unsigned char* data, int width, int height, int premultiplyAlpha,
                        GLint internalFormat, GLint format, GLint wrap, GLuint mipmapLevels);
bool gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth);
RenderTarget* gr_getRenderTarget(const std::string& name);
void gr_clearRenderTargets();
void gr_prepareFrameBuffer();
void gr_render(Batch* batch);
// The parameter is a BatchMatrix, spelled out for the module's messages.
void gr_renderBatches(std::vector<BatchList>& batchMatrix);
void gr_testrender();

void createRenderTargets(lua_State* L);
