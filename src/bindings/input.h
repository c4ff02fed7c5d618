// The app module's input state: what a script can ask for between events.
// Reads SDL's keyboard and mouse state and the record of the frame's events
// (bindings/inputedges.h); positions come out in the game's pixels through
// core/framing.h. Also the clipboard.
#pragma once

namespace app {
// True while the key with this SDL key code is held; false for codes no key
// of the keyboard gives.
bool isKeyDown(int key);
// True when the key was pressed, or released, since the last frame (see
// inputedges.h for what a frame's events are); key repeats do not count.
bool keyWentDown(int key);
bool keyWentUp(int key);
// The same for a mouse button: 1 left, 2 middle, 3 right, as
// onMouseButtonEvent numbers them.
bool mouseButtonWentDown(int button);
bool mouseButtonWentUp(int button);
// True while the mouse button is held.
bool isMouseButtonDown(int button);
// The mouse position in the game's pixels (window pixels, mapped back through
// a scaled full-screen frame), y from the top; 0, 0 before the window exists.
void getMousePosition(int* x, int* y);
// The clipboard's text; empty when it holds none.
const char* getClipboardText();
void setClipboardText(const char* text);
}  // namespace app
