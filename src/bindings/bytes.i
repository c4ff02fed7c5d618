// Typemaps for file contents (see bindings/bytes.h): a string in with its
// length, a file's bytes or nil out, and a list of names as a table.
%{
#include "bindings/bytes.h"
%}

%typemap(in, checkfn="lua_isstring") const std::string& CONTENTS (std::string temp)
%{{
  size_t length = 0;
  const char* text = lua_tolstring(L, $input, &length);
  temp.assign(text, length);
  $1 = &temp;
}%}

%typemap(out) bytes::Maybe
%{if ($1.found)
    lua_pushlstring(L, $1.bytes.data(), $1.bytes.size());
  else
    lua_pushnil(L);
  SWIG_arg++;%}

%typemap(out) bytes::Names
%{lua_createtable(L, static_cast<int>($1.size()), 0);
  for (size_t i = 0; i < $1.size(); ++i) {
    lua_pushlstring(L, $1[i].data(), $1[i].size());
    lua_rawseti(L, -2, static_cast<int>(i + 1));
  }
  SWIG_arg++;%}
