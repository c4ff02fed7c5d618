// Included by every module's interface: the argument rules and runtime fixes
// that all modules share (see conventions.h for the hand-written half).

%{
#include <exception>

#include "bindings/conventions.h"
%}

// Text parameters refuse nil with the ordinary type error, so native code that
// reads the text never receives a null pointer. Numbers stay accepted.
%typemap(in, checkfn="lua_isstring") const char *, char *, const char[ANY], char[ANY]
%{$1 = ($ltype)lua_tostring(L, $input);%}
%typemap(in, checkfn="lua_isstring") char
%{$1 = (lua_tostring(L, $input))[0];%}
%typemap(in, checkfn="lua_isstring") const char& (char temp)
%{temp = (lua_tostring(L, $input))[0]; $1 = &temp;%}
%typecheck(SWIG_TYPECHECK_STRING) char *, char[] {
  $1 = lua_isstring(L, $input);
}
%typecheck(SWIG_TYPECHECK_CHAR) char, const char& {
  $1 = lua_isstring(L, $input) && lua_rawlen(L, $input) == 1;
}

%header %{
// Argument errors name the type of a foreign userdata without reading it, and
// only binding objects (or nil) are converted to native pointers: anything else
// fails the conversion instead of being taken as a record.
#undef SWIG_Lua_typename
#define SWIG_Lua_typename(L, index) conventions::typeName(L, index)
#undef SWIG_ConvertPtr
#define SWIG_ConvertPtr(L, index, ptr, type, flags)                              \
  ((lua_isnil(L, index) || conventions::isObject(L, index))                      \
       ? SWIG_Lua_ConvertPtr(L, index, ptr, type, flags)                         \
       : SWIG_ERROR)
%}

// A C++ exception thrown by a wrapped call becomes an ordinary script error
// with the exception's text, instead of unwinding through the interpreter.
%exception {
  try {
    $action
  } catch (const std::exception& exception) {
    SWIG_Lua_pushferrstring(L, "%s", exception.what());
    SWIG_fail;
  } catch (...) {
    SWIG_Lua_pushferrstring(L, "unknown C++ exception");
    SWIG_fail;
  }
}

%init %{
  conventions::install(L, SWIG_Lua_class_tostring);
%}

// NONNULL: a parameter that is read through at once (the source of a setter
// that copies a record, array or map; the object of a method) refuses nil. Nil
// passes the type check like any pointer and fails at conversion, so earlier
// arguments are still converted first. Applied by name:
// %apply SWIGTYPE* NONNULL { Record* member }.
%typemap(in, checkfn="SWIG_isptrtype") SWIGTYPE* NONNULL, SWIGTYPE NONNULL[ANY], SWIGTYPE NONNULL[ANY][ANY]
%{
  if (!SWIG_IsOK(SWIG_ConvertPtr(L, $input, (void**)&$1, $descriptor, 0)) || !$1)
    SWIG_fail_ptr("$symname", $argnum, $descriptor);
%}
%apply SWIGTYPE* NONNULL { SWIGTYPE* self }

// INTO_RECORD: a getter result that points into its object's record (a member
// record, array or map) keeps that object alive, so the pointer never outlives
// the record. Applied by name like NONNULL.
%typemap(out) SWIGTYPE* INTO_RECORD, SWIGTYPE INTO_RECORD[ANY], SWIGTYPE INTO_RECORD[ANY][ANY]
%{SWIG_NewPointerObj(L, $1, $descriptor, 0); conventions::keepOwner(L, -1, 1); SWIG_arg++;%}
