// The gpgutils module: the Google Play Games service seam.
%module gpgutils
%include "bindings/conventions.i"

%{
#include "bindings/gpgutils.h"
%}

%include "bindings/gpgutils.h"
