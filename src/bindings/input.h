// The app module's input state: what a script can ask for between events.
// Reads SDL's keyboard and mouse state; positions come out in the game's
// pixels through core/framing.h.
#pragma once

namespace app {
// True while the key with this SDL key code is held; false for codes no key
// of the keyboard gives.
bool isKeyDown(int key);
// The mouse position in the game's pixels (window pixels, mapped back through
// a scaled full-screen frame), y from the top; 0, 0 before the window exists.
void getMousePosition(int* x, int* y);
}  // namespace app
