// The app module: ending the run from the script.
%module app
%include "bindings/conventions.i"

%{
#include "core/app.h"
%}

%include "core/app.h"
