// The audio module; its members join as the audio bindings are written.
%module audio
%include "bindings/conventions.i"
