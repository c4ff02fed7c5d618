// The audio module. Empty until the audio functions are bound.
%module audio
%include "bindings/conventions.i"
