// The audio module: music and sound effects for the script.
%module audio
%include "bindings/conventions.i"

%{
#include "audio/audio.h"
%}

%include "audio/audio.h"
