// The app module: ending the run, and the keyboard and mouse state. What
// scripts get is listed here.
%module app
%include "bindings/conventions.i"
%include "typemaps.i"

%{
#include "bindings/input.h"
#include "core/app.h"
%}

// getMousePosition hands back its two numbers as two results.
%apply int *OUTPUT { int *x, int *y };

namespace app {
void quit();
bool isKeyDown(int key);
void getMousePosition(int* x, int* y);
}  // namespace app
