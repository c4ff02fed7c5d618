// The log module: one line of the script's text through DLOG.
%module log
%include "bindings/conventions.i"

%{
#include "core/log.h"
%}

// The script's text is printed as written: it is an argument of DLOG, never its
// format, so a "%" in it stays a "%".
%feature("action") DLOG "DLOG(\"%s\", arg1);"
void DLOG(char const* text);
