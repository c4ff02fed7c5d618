// The graphics module: the renderer's entry points and records. Its text
// parameters and members are `string` objects (the resources module's class),
// and GL handles travel as boxes that only these calls hand out.
%module graphics
%include "bindings/conventions.i"

%{
#include "render/graphics.h"
#include "bindings/recordbox.h"
#include "bindings/uniforms.h"
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
  std::map<std::string, Attribute>* attributes,
  std::map<std::string, Uniform>* uniforms,
  std::map<std::string, std::map<std::string, GLuint>>* gr_programs
}
%apply SWIGTYPE INTO_RECORD[ANY] { int attributeSizes[6] }
%apply SWIGTYPE* INTO_RECORD {
  std::map<std::string, Attribute>* attributes,
  std::map<std::string, Uniform>* uniforms
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
%typemap(memberin) size_t size %{uniforms::resize(*arg1, $input);%}
%typemap(out) void* value %{conventions::pushValueBox(L, $1, $1 ? arg1->size : 0, $descriptor); SWIG_arg++;%}

%constant int MAX_ATTRIBUTES = MAX_ATTRIBUTES;

struct Uniform {
  size_t size;
  void* value;

  Uniform();
  Uniform(size_t size, void* value);
  Uniform(const Uniform& other);
};
%clear void* value;
%clear size_t size;

struct Attribute {
  size_t size;
  int offset;
};

struct Batch {
  GLfloat* data;
  unsigned int* indices;
  int indexCount;
  int triangles;
  int attributeSizes[6];
  std::map<std::string, Attribute> attributes;
  int stride;
  bool freeData;
  GLuint program;
  std::map<std::string, Uniform> uniforms;
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

void gr_setClearColor(int r, int g, int b, int a);
void gr_init();
GLuint gr_createTexture(unsigned char* data, int width, int height, int premultiplyAlpha,
                        GLint internalFormat, GLint format, GLint wrap, GLuint mipmapLevels);
void gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth);
GLuint gr_createProgram(const char* vs, const char* fs);
void gr_useProgram(GLuint programID);
void gr_render(Batch* batch);
void gr_testrender();
void gr_renderBatches(std::vector<std::deque<Batch>> batchMatrix);
void gr_prepareFrameBuffer();
RenderTarget* gr_getRenderTarget(const std::string& name);
void gr_clearRenderTargets();
GLuint gr_getProgram(std::string vs, std::string ps);
void createRenderTargets(lua_State* L);
