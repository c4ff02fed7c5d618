// The app module: ending the run from the script.
%module app
%include "bindings/conventions.i"

%{
#include "host/app.h"
%}

namespace app {
void quit();
}
