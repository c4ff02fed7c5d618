// DLOG: the one diagnostic channel. Formats like printf and writes the result to
// standard output unchanged: no prefix, no time stamp, no line break of its own.
#pragma once

#include <cstdarg>

void DLOG(const char* format, ...) __attribute__((format(printf, 1, 2)));
// DLOG with its arguments as a va_list, for callers that pass theirs on.
void VDLOG(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Under quiet, the lines that only report progress (start-up steps, the
// machine's description, shader compilation, folder scans, shutdown) and empty
// lines are dropped; errors, warnings and the game's own text still print.
void setQuietLog(bool quiet);
