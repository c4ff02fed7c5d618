// The log module: one line of the script's text through DLOG.
%module log
%include "bindings/conventions.i"

%{
#include "core/log.h"
%}

// The script's text is printed as written: it is an argument of DLOG, never its
// format, so a "%" in it stays a "%". The format arguments are not bound.
// It is a line the author must see, so --quiet keeps it.
%feature("action") DLOG "DLOG(LogLevel::Warning, \"%s\", arg1);"
// Only DLOG(text) is the script's; the rest of the header is the host's.
%ignore LogLevel;
%ignore DLOG(LogLevel, const char*, ...);
%ignore VDLOG;
%ignore setQuietLog;
// The generator does not read attributes.
#define __attribute__(x)
%include "core/log.h"
