// The tilemaps module: Tiled maps for the script (see docs/tilemaps.md).
%module tilemaps
%include "bindings/conventions.i"
%include "typemaps.i"

%{
#include "bindings/tilemaps.h"
%}

// getTile answers with four results: the gid and its three flips.
%apply bool* OUTPUT { bool* flipX, bool* flipY, bool* flipDiagonal }

// The two table results are built by the module itself.
%typemap(out) tilemaps::MapTable %{tilemaps::pushTable(L, $1); SWIG_arg++;%}
%typemap(out) tilemaps::ShapeList %{tilemaps::pushTable(L, $1); SWIG_arg++;%}

%ignore tilemaps::MapTable;
%ignore tilemaps::ShapeList;

%include "bindings/tilemaps.h"
