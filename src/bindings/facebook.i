// The facebook module: the Facebook service seam.
%module facebook
%include "bindings/conventions.i"

%{
#include "bindings/facebook.h"
%}

%include "bindings/facebook.h"
