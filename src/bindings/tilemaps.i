// The tilemaps module: Tiled maps for the script (see docs/tilemaps.md).
// What scripts get is listed here.
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

namespace tilemaps {
struct MapTable;   // results only, turned into tables by the typemaps above
struct ShapeList;
MapTable getMap(const char* name);
ShapeList getTileShapes(const char* name, const char* tileLayer);
unsigned getTile(const char* name, const char* tileLayer, int x, int y, bool* flipX, bool* flipY,
                 bool* flipDiagonal);
void setTile(const char* name, const char* tileLayer, int x, int y, unsigned gid,
             bool flipX = false, bool flipY = false, bool flipDiagonal = false);
}  // namespace tilemaps
