// The app module: ending the run, the keyboard and mouse state, the clipboard
// and the cursor.
%module app
%include "bindings/conventions.i"
%include "typemaps.i"

%{
#include "bindings/cursor.h"
#include "bindings/input.h"
#include "core/app.h"
%}

%include "core/app.h"

// getMousePosition hands back its two numbers as two results.
%apply int *OUTPUT { int *x, int *y };
%include "bindings/input.h"
%include "bindings/cursor.h"
