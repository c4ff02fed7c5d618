// The saves module: the game's save folder. Writes replace a save atomically;
// names are plain file names, anything else is a script error.
%module saves
%include "bindings/conventions.i"
%include "bindings/bytes.i"

%{
#include "files/saves.h"
%}

%apply const std::string& CONTENTS { const std::string& data }
// The folder's path as a plain string: this module has no string class.
%typemap(out) std::string %{lua_pushlstring(L, $1.data(), $1.size()); SWIG_arg++;%}

%inline %{
namespace savescript {
void write(const char* name, const std::string& data) { saves::write(name, data); }
bytes::Maybe read(const char* name) {
  bytes::Maybe result;
  result.found = saves::read(name, result.bytes);
  return result;
}
bool remove(const char* name) { return saves::remove(name); }
bytes::Names list() { return saves::list(); }
std::string path() { return saves::path(); }
}  // namespace savescript
%}
