// The graphics module; its members join as the graphics bindings are written.
%module graphics
%include "bindings/conventions.i"
