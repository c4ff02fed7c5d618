// The log module: one line of the script's text through DLOG.
%module log
%include "bindings/conventions.i"

%{
#include "core/log.h"
%}

// The script's text is printed as written: it is an argument of DLOG, never its
// format, so a "%" in it stays a "%". The format arguments are not bound.
%feature("action") DLOG "DLOG(\"%s\", arg1);"
// Only DLOG is the script's; the rest of the header is the host's.
%ignore VDLOG;
%ignore setQuietLog;
// The generator does not read attributes.
#define __attribute__(x)
%include "core/log.h"
