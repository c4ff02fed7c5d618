// The resources module: the asset registries (textures, the sprite sheet,
// fonts) and their records, plus the `string` class that the graphics module's
// text parameters take. Loaders and packers that scripts have no use for
// (loadPNG, placeImages, ...) stay unbound.
%module resources
%include "bindings/conventions.i"
%include "std_string.i"
%include "bindings/bytes.i"

%{
#include "assets/resources.h"
#include "files/files.h"
#include "files/paths.h"
#include "render/sheets.h"

#include <stdexcept>
%}

// getUVs writes to the vertices, and the setters of these members copy from the
// given record, array or map: null is refused rather than dereferenced.
%apply SWIGTYPE* NONNULL {
  float* vertices,
  resources::Sprite* sprite,
  std::map<char, resources::Glyph>* glyphs
}
%apply SWIGTYPE NONNULL[ANY][ANY] { float uv[4][2] }
%apply SWIGTYPE* INTO_RECORD { resources::Sprite* sprite, std::map<char, resources::Glyph>* glyphs }
%apply SWIGTYPE INTO_RECORD[ANY][ANY] { float uv[4][2] }

// measureText answers with three results: width, height, line count.
%include "typemaps.i"
%apply double* OUTPUT { double* width, double* height }
%apply int* OUTPUT { int* lines }

// The temporary folder is a string slot that nil empties again: the setter
// accepts nil, copies text into a buffer of its own and frees the one before.
%typemap(in, checkfn="SWIG_lua_isnilstring", fragment="SWIG_lua_isnilstring") char* resources::TEMP_DIR
%{$1 = ($ltype)lua_tostring(L, $input);%}

%{
namespace {
// The last buffer stays with the slot until the process ends.
struct TempDirRelease {
  ~TempDirRelease() {
    delete[] resources::TEMP_DIR;
    resources::TEMP_DIR = nullptr;
  }
} tempDirRelease;
}  // namespace
%}

// What scripts do not see: the pictures and packing areas, the registries
// themselves, the rasteriser, the loaders' limits, the loaders and helpers
// behind the bound calls, and the host's reloads.
%ignore resources::Image;
%ignore resources::Rectangle;
%ignore resources::textures;
%ignore resources::sprites;
%ignore resources::sheets;
%ignore resources::fonts;
%ignore resources::ft;
%ignore resources::maxTextureSide;
%ignore resources::MAX_IMAGE_BYTES;
%ignore resources::loadPNG;
%ignore resources::forFiles;
%ignore resources::loadPNGs;
%ignore resources::roundUpToPowerOfTwo;
%ignore resources::mipmapLevelsAllowed;
%ignore resources::loadTextures(const char*, const SheetUpload&);
%ignore resources::placeImages;
%ignore resources::createSheet;
%ignore resources::reloadTexture;
%ignore resources::repackSpriteSheet;

%include "assets/resources.h"

// A script's loadTextures uploads what it registers, as start-up does.
// readFile hands a script a file of the game (from its folder or archive);
// names that leave the game are refused.
%inline %{
namespace resources {
void loadTextures(const char* folder) { gr_loadTextures(folder); }

bytes::Maybe readFile(const char* name) {
  std::string normal, problem;
  if (!paths::normalise(name, normal) || normal.empty())
    throw std::runtime_error(std::string("game file name '") + name + "' leaves the game");
  bytes::Maybe result;
  result.found = files::read(normal, result.bytes, problem);
  if (!result.found && files::exists(normal))
    throw std::runtime_error(std::string("cannot read game file '") + name + "': " + problem);
  return result;
}
}
%}
