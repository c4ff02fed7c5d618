// The app module: ending the run, the keyboard and mouse state, the clipboard
// and the cursor. What scripts get is listed here.
%module app
%include "bindings/conventions.i"
%include "typemaps.i"

%{
#include "bindings/cursor.h"
#include "bindings/input.h"
#include "core/app.h"
%}

// getMousePosition hands back its two numbers as two results.
%apply int *OUTPUT { int *x, int *y };

namespace app {
void quit();
bool isKeyDown(int key);
bool keyWentDown(int key);
bool keyWentUp(int key);
bool mouseButtonWentDown(int button);
bool mouseButtonWentUp(int button);
bool isMouseButtonDown(int button);
void getMousePosition(int* x, int* y);
const char* getClipboardText();
void setClipboardText(const char* text);

void showCursor(bool show);
bool isCursorShown();
bool setSystemCursor(const char* name);
bool setCursorImage(const char* file, int hotX, int hotY);
}  // namespace app
