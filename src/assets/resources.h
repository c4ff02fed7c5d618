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

extern std::map<std::string, Sheet*> textures;
extern std::map<std::string, Sprite> sprites;
extern std::deque<Sheet*> sheets;  // owns every sheet
extern std::deque<Font> fonts;
extern FT_Library ft;
extern char* TEMP_DIR;

// PNG images and the texture registry
void init();
FILE* openFile(const char* name, const char* mode);
Image loadPNG(const char* path);
void forFiles(const char* folderPath, std::function<void(const char*)> func);
std::list<Image> loadPNGs(const char* folder);
int rup2(int value);
void loadTextures(const char* folder);
Sheet* getTexture(const std::string& name);
unsigned char getColorFromTexture(std::string name, size_t pixelIndex, size_t channel);
void clear();

// Sprite sheets
Sheet* createSpriteSheet(const char* folder);
void placeImages(Rectangle area, std::list<Image>* images, std::deque<Image>* placedImages);
Sheet* createSheet(std::map<std::string, Sprite>& sprites, std::deque<Image>& images,
                   size_t pixelSize);
Sprite getSprite(const char* alias);
void getUVs(Sprite& resource, float* vertices, int offset, int stride);

// Fonts
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size,
                const char* characters);
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size);
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
