// DLOG's shared buffer and the quiet filter. Messages that do not fit are
// formatted again into a buffer of their exact size, so nothing is cut and
// nothing overflows. Quiet runs drop lines by level, never by their text.
#include "core/log.h"

#include <cstdio>
#include <vector>

namespace {
char output[1024];
bool quietLog = false;

bool dropsLevel(LogLevel level) {
  return quietLog && (level == LogLevel::Info || level == LogLevel::Debug);
}

void print(const char* text, size_t length) {
  if (quietLog && length == 1 && text[0] == '\n') return;
  fwrite(text, 1, length, stdout);
}
}  // namespace

void setQuietLog(bool quiet) { quietLog = quiet; }

void VDLOG(LogLevel level, const char* format, va_list args) {
  if (dropsLevel(level)) return;
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(output, sizeof output, format, args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(length) < sizeof output) {
    print(output, static_cast<size_t>(length));
  } else {
    std::vector<char> longer(static_cast<size_t>(length) + 1);
    vsnprintf(longer.data(), longer.size(), format, again);
    print(longer.data(), static_cast<size_t>(length));
  }
  va_end(again);
}

void DLOG(LogLevel level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  VDLOG(level, format, args);
  va_end(args);
}

void DLOG(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VDLOG(LogLevel::Warning, format, args);
  va_end(args);
}
