// DLOG's shared buffer. Messages that do not fit are formatted again into a
// buffer of their exact size, so nothing is cut and nothing overflows.
#include "core/log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
char output[1024];
}

void DLOG(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(output, sizeof output, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(length) < sizeof output) {
    fwrite(output, 1, static_cast<size_t>(length), stdout);
  } else {
    std::vector<char> longer(static_cast<size_t>(length) + 1);
    vsnprintf(longer.data(), longer.size(), format, again);
    fwrite(longer.data(), 1, static_cast<size_t>(length), stdout);
  }
  va_end(again);
}
