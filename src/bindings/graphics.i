// The graphics module: the renderer's entry points and records. Its text
// parameters and members are `string` objects (the resources module's class),
// and GL handles travel as boxes that only these calls hand out.
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

// What scripts do not see: the moving half of Uniform, the renderer's own
// state and switches, its file-level shader loader, targets whose GL objects
// the caller must own, and the host's rebuild and checks. (A batch's attribute
// and uniform sets and the per-camera lists travel as boxes: graphics.h shows
// SWIG their names only.)
%ignore Uniform::Uniform(Uniform&&);
%ignore Uniform::operator=;
%ignore Batch::reset;
%ignore gr_setDrawMerging;
%ignore gr_drawMerging;
%ignore gr_drawCalls;
%ignore SHADER_VERSION;
%ignore gr_forgetCurrentProgram;
%ignore renderTargets;
%ignore testProgramID;
%ignore gr_loadShader;
%ignore gr_tryCreateProgram;
%ignore gr_programUses;
%ignore gr_programFailed;
%ignore gr_newRenderTarget;
%ignore gr_deleteRenderTarget;

%include "render/graphics.h"
%include "scene/rendertarget_tables.h"

