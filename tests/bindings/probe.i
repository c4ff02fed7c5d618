// The test-only probe module, built with the same conventions as the real ones.
%module probe
%include "bindings/conventions.i"

%{
#include "probe.h"
%}

%include "probe.h"
