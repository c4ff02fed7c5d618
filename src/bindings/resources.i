// The resources module; its members join as the resources bindings are written.
%module resources
%include "bindings/conventions.i"
