// Keyboard, mouse and clipboard state for the app module.
#include "bindings/input.h"

#include <SDL.h>

#include <string>

#include "bindings/inputedges.h"
#include "core/framing.h"

namespace app {
bool isKeyDown(int key) {
  SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
  if (scancode == SDL_SCANCODE_UNKNOWN) return false;
  return SDL_GetKeyboardState(nullptr)[scancode] != 0;
}

bool keyWentDown(int key) { return inputedges::keyWentDown(key); }
bool keyWentUp(int key) { return inputedges::keyWentUp(key); }
bool mouseButtonWentDown(int button) { return inputedges::buttonWentDown(button); }
bool mouseButtonWentUp(int button) { return inputedges::buttonWentUp(button); }

bool isMouseButtonDown(int button) {
  if (button < 1 || button > 32) return false;
  return (SDL_GetMouseState(nullptr, nullptr) & (Uint32(1) << (button - 1))) != 0;
}

void getMousePosition(int* x, int* y) {
  int windowX = 0, windowY = 0;
  SDL_GetMouseState(&windowX, &windowY);
  framing::toGame(windowX, windowY, x, y);
}

const char* getClipboardText() {
  // Kept until the next call: the module copies it into the script's string.
  static std::string text;
  char* got = SDL_GetClipboardText();
  text = got ? got : "";
  SDL_free(got);
  return text.c_str();
}

void setClipboardText(const char* text) { SDL_SetClipboardText(text); }
}  // namespace app
