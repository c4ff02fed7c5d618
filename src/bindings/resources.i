// The resources module: the asset registries (textures, the sprite sheet,
// fonts) and their records, listed below, plus the `string` class that the
// graphics module's text parameters take.
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

// What scripts get, listed here rather than taken from assets/resources.h, so
// that a declaration the header adds or changes reaches scripts only once it
// is made here too (the pictures, packing areas, registries, loaders and
// reloads behind these calls stay out). Each must agree with the real one,
// which the wrapper calls.
namespace resources {
struct Sheet {
  int width;
  int height;
  unsigned char* data;
  int texture;
};

struct Sprite {
  Sheet* sheet;
  int width;
  int height;
  float uv[4][2];
};

struct Glyph {
  Sprite sprite;
  int left;
  int top;
  float advance;
};

struct Font {
  std::map<char, Glyph> glyphs;
  std::string name;
  size_t size;
};

extern char* TEMP_DIR;

void init();
FILE* openFile(const char* name, const char* mode);
Sheet* getTexture(const std::string& name);
unsigned char getColorFromTexture(std::string name, size_t pixelIndex, size_t channel);
void clear();
Sheet* createSpriteSheet(const char* folder);
Sprite getSprite(const char* alias);
void getUVs(Sprite& resource, float* vertices, int offset, int stride);
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size,
                const char* characters);
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size);
Font getFont(std::string name, size_t size);
int getGlyphAdvance(std::string fontName, char c);
int getGlyphLeft(std::string fontName, char c);
int getGlyphTop(std::string fontName, char c);
void measureText(const char* font, double size, const char* text, double maxWidth, double* width,
                 double* height, int* lines);
void measureText(const char* font, double size, const char* text, double* width, double* height,
                 int* lines);
}  // namespace resources

// A script's loadTextures uploads what it registers, as start-up does.
// readFile hands a script a file of the game (from its folder or archive);
// names that leave the game are refused.
%inline %{
namespace resources {
void loadTextures(const char* folder) { gr_loadTextures(folder); }

bytes::Maybe readFile(const char* name) {
  std::string normal, problem;
  if (!paths::normaliseInGame(name, normal) || normal.empty())
    throw std::runtime_error(std::string("game file name '") + name + "' leaves the game");
  bytes::Maybe result;
  result.found = files::read(normal, result.bytes, problem);
  if (!result.found && files::exists(normal))
    throw std::runtime_error(std::string("cannot read game file '") + name + "': " + problem);
  return result;
}
}
%}
