// The log module: one line of the script's text through DLOG. Only DLOG is the
// script's; the rest of core/log.h is the host's.
%module log
%include "bindings/conventions.i"

%{
#include "core/log.h"
%}

// The script's text is printed as written: it is an argument of DLOG, never its
// format, so a "%" in it stays a "%". The format arguments are not bound.
// It is a line the author must see, so --quiet keeps it.
%feature("action") DLOG "DLOG(LogLevel::Warning, \"%s\", arg1);"
void DLOG(const char* format, ...);
