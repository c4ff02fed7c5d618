// Keyboard and mouse state for the app module.
#include "bindings/input.h"

#include <SDL.h>

#include "core/framing.h"

namespace app {
bool isKeyDown(int key) {
  SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
  if (scancode == SDL_SCANCODE_UNKNOWN) return false;
  return SDL_GetKeyboardState(nullptr)[scancode] != 0;
}

void getMousePosition(int* x, int* y) {
  int windowX = 0, windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  framing::toGame(windowX, windowY, x, y);
}
}  // namespace app
