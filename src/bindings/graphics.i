// The graphics module. Empty until its classes and functions are bound.
%module graphics
%include "bindings/conventions.i"
