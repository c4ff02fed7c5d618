// Cursors are made once each and kept: SDL frees every cursor when the video
// system shuts down. A picture cursor replaces the previous picture cursor.
#include "bindings/cursor.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "bindings/surfaces.h"

namespace app {
namespace {
const struct {
  const char* name;
  SDL_SystemCursor id;
} SYSTEM[] = {{"arrow", SDL_SYSTEM_CURSOR_ARROW},
              {"hand", SDL_SYSTEM_CURSOR_HAND},
              {"ibeam", SDL_SYSTEM_CURSOR_IBEAM},
              {"crosshair", SDL_SYSTEM_CURSOR_CROSSHAIR}};
SDL_Cursor* systemCursors[sizeof SYSTEM / sizeof SYSTEM[0]] = {};
SDL_Cursor* picture = nullptr;
}  // namespace

void showCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

bool isCursorShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

bool setSystemCursor(const char* name) {
  for (size_t i = 0; i < sizeof SYSTEM / sizeof SYSTEM[0]; ++i) {
    if (strcmp(name, SYSTEM[i].name) != 0) continue;
    if (!systemCursors[i]) systemCursors[i] = SDL_CreateSystemCursor(SYSTEM[i].id);
    if (!systemCursors[i]) return false;
    SDL_SetCursor(systemCursors[i]);
    return true;
  }
  return false;
}

bool setCursorImage(const char* file, int hotX, int hotY) {
  SDL_Surface* surface = surfaces::loadTexture(file);
  if (!surface) return false;
  hotX = std::max(0, std::min(hotX, surface->w - 1));
  hotY = std::max(0, std::min(hotY, surface->h - 1));
  SDL_Cursor* made = SDL_CreateColorCursor(surface, hotX, hotY);
  SDL_FreeSurface(surface);
  if (!made) return false;
  SDL_SetCursor(made);
  if (picture) SDL_FreeCursor(picture);
  picture = made;
  return true;
}
}  // namespace app
