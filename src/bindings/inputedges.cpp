// The record of one drain: key codes in small lists kept from frame to frame
// (a drain holds few key events), buttons as bit masks.
#include "bindings/inputedges.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace inputedges {
namespace {
std::vector<SDL_Keycode> keysDown, keysUp;
uint32_t buttonsDown = 0, buttonsUp = 0;

// SDL numbers buttons from 1; the masks hold 1 .. 32.
uint32_t bit(int button) {
  return button >= 1 && button <= 32 ? uint32_t(1) << (button - 1) : 0;
}

bool holds(const std::vector<SDL_Keycode>& keys, SDL_Keycode key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}
}  // namespace

void beginDrain() {
  keysDown.clear();
  keysUp.clear();
  buttonsDown = buttonsUp = 0;
}

void noteKey(SDL_Keycode key, bool down, bool repeat) {
  if (repeat) return;
  std::vector<SDL_Keycode>& keys = down ? keysDown : keysUp;
  if (!holds(keys, key)) keys.push_back(key);
}

void noteButton(int button, bool down) { (down ? buttonsDown : buttonsUp) |= bit(button); }

bool keyWentDown(SDL_Keycode key) { return holds(keysDown, key); }
bool keyWentUp(SDL_Keycode key) { return holds(keysUp, key); }
bool buttonWentDown(int button) { return (buttonsDown & bit(button)) != 0; }
bool buttonWentUp(int button) { return (buttonsUp & bit(button)) != 0; }
}  // namespace inputedges
