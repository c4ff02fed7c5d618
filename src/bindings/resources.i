// The resources module. Empty until its classes and functions are bound.
%module resources
%include "bindings/conventions.i"
