// DLOG: the one diagnostic channel. Formats like printf and writes the result to
// standard output unchanged: no prefix, no time stamp, no line break of its own.
#pragma once

void DLOG(const char* format, ...) __attribute__((format(printf, 1, 2)));
