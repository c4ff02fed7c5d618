// DLOG's shared buffer. Messages that do not fit are formatted again into a
// buffer of their exact size, so nothing is cut and nothing overflows. Quiet
// runs drop the progress lines named here by their formats.
#include "core/log.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
char output[1024];
bool quietLog = false;

// Formats of lines that only say how far the run has got or what the machine
// is; everything else (errors, warnings, the game's own text) is kept.
const char* const PROGRESS[] = {
    "Load lua main\n", "Get size\n", "Init SDL\n", "Init audio\n", "Init graphics\n",
    "Load assets\n", "Create textures\n", "Create sheets\n", "Call main lua init\n",
    "Start main loop\n", "SDLquit\n", "Final quit\n", "Exit\n", "Quit\n",
    "Watch not implemented on this platform\n", "Watching %s\n", "Reload %s\n",
    "Red size: %d,\n Green size: %d,\n Blue size: %d\n", "gl_context:  %s\n",
    "gl_vendor: %s\n", "gl_renderer: %s\n", "gl_shading_lang_version:  %s\n",
    "gl_max_texture_size: %d\n", "Compiling shader %s\n", "Shader created\n",
    "Looking for files in folder %s\n", "Create texture %s\n", "Create texture %d %d\n",
    "Copy images\n", "Return sheet\n", "Load font %s/%s", "Create rendertargets\n",
    "Create target %s\n", "Target created\n", "Gen depth\n", "Load sound %s\n",
    "Attempt to parse mod %s\n", "Custom callback\n", "Looking for shader %s %s\n",
    "Testing shader %s %s\n", "Changing shader %s %s\n"};

bool isProgress(const char* format, const char* text) {
  if (text[0] == '\n' && text[1] == '\0') return true;
  for (const char* progress : PROGRESS)
    if (strcmp(format, progress) == 0) return true;
  return false;
}

void print(const char* format, const char* text, size_t length) {
  if (quietLog && isProgress(format, text)) return;
  fwrite(text, 1, length, stdout);
}
}  // namespace

void setQuietLog(bool quiet) { quietLog = quiet; }

void VDLOG(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(output, sizeof output, format, args);
  if (length < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(length) < sizeof output) {
    print(format, output, static_cast<size_t>(length));
  } else {
    std::vector<char> longer(static_cast<size_t>(length) + 1);
    vsnprintf(longer.data(), longer.size(), format, again);
    print(format, longer.data(), static_cast<size_t>(length));
  }
  va_end(again);
}

void DLOG(const char* format, ...) {
  va_list args;
  va_start(args, format);
  VDLOG(format, args);
  va_end(args);
}
