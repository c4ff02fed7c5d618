// The quit flag and the script's way to set it; keyboard and mouse state.
#include "host/app.h"

#include <SDL.h>

#include "host/host.h"
#include "host/letterbox.h"
#include "host/log.h"
#include "host/sdlutils.h"

int quit = 0;

namespace app {
void quit() {
  DLOG("Exit\n");
  ::quit = 1;
}

bool isKeyDown(int key) {
  SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
  if (scancode == SDL_SCANCODE_UNKNOWN) return false;
  return SDL_GetKeyboardState(nullptr)[scancode] != 0;
}

void getMousePosition(int* x, int* y) {
  *x = 0;
  *y = 0;
  if (!window) return;
  int windowX = 0, windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  letterbox::toGame(windowX, windowY, x, y);
}
}  // namespace app
