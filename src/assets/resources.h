// The asset registries and loaders: PNG images, texture sheets, the sprite
// sheet and fonts. Loaders never abort: a bad file is logged and yields an
// empty record that the caller can test.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdio>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <string>

namespace resources {

// A decoded picture: rows top first, 4 bytes a pixel (R, G, B, A), malloc'd.
// width = height = 0 and data = null is the empty image of a failed load.
struct Image {
  int width = 0;
  int height = 0;
  unsigned char* data = nullptr;
  std::string alias;  // registry name; empty out of loadPNG
  int x = 0;          // placement on a sheet
  int y = 0;
};

// A block of RGBA pixels that becomes one GL texture.
struct Sheet {
  int width = 0;
  int height = 0;
  unsigned char* data = nullptr;  // width × height × 4 bytes, rows top first
  int texture = 0;                // GL name once uploaded
};

// A named rectangle on a sheet with its corners' texture coordinates:
// top-left, top-right, bottom-right, bottom-left.
struct Sprite {
  Sheet* sheet = nullptr;
  int width = 0;
  int height = 0;
  float uv[4][2] = {};
};

// A free area while packing.
struct Rectangle {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct Glyph {
  Sprite sprite;
  int left = 0;
  int top = 0;
  float advance = 0;
};

struct Font {
  std::map<char, Glyph> glyphs;
  std::string name;
  size_t size = 0;
};

// The registries live until `clear` (or exit). Sheets are owned by `sheets`
// alone; the other registries and every Sprite point into them.
extern std::map<std::string, Sheet*> textures;
extern std::map<std::string, Sprite> sprites;
extern std::deque<Sheet*> sheets;  // owns every sheet
extern std::deque<Font> fonts;
extern FT_Library ft;
extern char* TEMP_DIR;

// What a picture may cost, checked before anything is allocated for it. The
// side is the GL texture limit, which the renderer sets at start-up; before
// that a value common hardware allows stands in.
extern int maxTextureSide;
const size_t MAX_IMAGE_BYTES = 256u << 20;  // a decoded picture or a texture sheet

// Hands a freshly built sheet to the layer that turns it into a GL texture
// (which stores the texture's name in sheet.texture), with the mipmap levels
// it should have.
using SheetUpload = std::function<void(Sheet& sheet, unsigned mipmapLevels)>;

// PNG images and the texture registry
void init();  // starts the font rasteriser; says so on stderr when it cannot
// The one way a game file is opened, through the file layer (files/files.h):
// from the game's folder or archive. Null, with errno set, when it cannot be.
FILE* openFile(const char* name, const char* mode);
// The decoded file; the empty image (logged) when it is missing or not 8-bit
// RGBA. The caller owns `data` and frees it with free().
Image loadPNG(const char* path);
void forFiles(const char* folderPath, std::function<void(const char*)> func);
// Every PNG file of the folder, named by its file name up to the first dot.
std::list<Image> loadPNGs(const char* folder);
// The smallest power of two not below `value` (1 for values below 2).
int roundUpToPowerOfTwo(int value);
// floor(log2(max(width, height))) + 1: the longest mipmap chain the size
// allows (1 for sizes below 2).
unsigned mipmapLevelsAllowed(int width, int height);
// Registers every PNG of the folder as a power-of-two sheet, calling `upload`
// for each as it is made (so its log lines follow the sheet's own).
void loadTextures(const char* folder, const SheetUpload& upload);
// Decodes the PNG at `path` again and registers it under its file name cut at
// the first dot, like loadTextures: a registered texture keeps its Sheet
// record, which gets the new pixels and goes through `upload` again. False,
// with the registry untouched, when the file does not decode or is refused
// (logged).
bool reloadTexture(const std::string& path, const SheetUpload& upload);
// The registered sheet, still owned by the registry; null for an unknown name.
Sheet* getTexture(const std::string& name);
// One byte of a texture's pixels; 0 outside the sheet or for an unknown name.
unsigned char getColorFromTexture(std::string name, size_t pixelIndex, size_t channel);
// Releases every sheet and empties every registry.
void clear();

// Sprite sheets
// Packs the folder's PNGs onto one sheet and registers their sprites; the
// sheet belongs to `sheets`, is not uploaded, and is null only when its memory
// cannot be had.
Sheet* createSpriteSheet(const char* folder);
// Packs the folder again onto a new sheet whose sprites replace every
// registered one; the previous sheet's pixels are released (its record stays,
// for sprites copied out of the registry). Null, with the registry untouched,
// when `changed` does not decode (logged) or the memory cannot be had.
Sheet* repackSpriteSheet(const char* folder, const std::string& changed);
void placeImages(Rectangle area, std::list<Image>* images, std::deque<Image>* placedImages);
// Copies the placed images onto a new SHEET_SIDE square sheet of `pixelSize`
// bytes a pixel, adds their sprites to `named`, and frees the images' pixels
// in every case. The sheet belongs to `sheets`; null (logged) when its memory
// cannot be had.
Sheet* createSheet(std::map<std::string, Sprite>& named, std::deque<Image>& images,
                   size_t pixelSize);
// A copy of the registered sprite; blockerSad (logged) for an unknown name, the
// empty sprite when blockerSad is missing too.
Sprite getSprite(const char* alias);
void getUVs(Sprite& resource, float* vertices, int offset, int stride);

// Fonts
// Rasterises the font onto a glyph sheet of its own and registers its metrics;
// the sheet belongs to `sheets` and is not uploaded. Null (logged) when the
// file cannot be opened or a character cannot be rendered.
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size,
                const char* characters);
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size);
// A copy of the registered font; an empty font (logged) when there is none.
Font getFont(std::string name, size_t size);
int getGlyphAdvance(std::string fontName, char c);
int getGlyphLeft(std::string fontName, char c);
int getGlyphTop(std::string fontName, char c);

// Text on screen: the width, height and line count of UTF-8 `text` set in font
// `font` ("" for the default) at `size` pixels, wrapped at maxWidth when that
// is above 0 (see assets/textlayout.h). All zero for a refused size.
void measureText(const char* font, double size, const char* text, double maxWidth, double* width,
                 double* height, int* lines);
void measureText(const char* font, double size, const char* text, double* width, double* height,
                 int* lines);

}  // namespace resources
