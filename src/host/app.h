// The app module's native side: ending the run, and the input state a script
// can ask for between events.
#pragma once

namespace app {
// Logs "Exit" and asks the frame loop to stop after the current frame.
void quit();
// True while the key with this SDL key code is held; false for codes no key
// of the keyboard gives.
bool isKeyDown(int key);
// The mouse position in the game's pixels (window pixels, mapped back through
// a scaled full-screen frame), y from the top; 0, 0 before the window exists.
void getMousePosition(int* x, int* y);
}  // namespace app
