// The registries, file opening and release of every sheet.
#include "assets/resources.h"

#include <cstdlib>

#include "assets/glyphcache.h"
#include "files/files.h"

namespace resources {
std::map<std::string, Sheet*> textures;
std::map<std::string, Sprite> sprites;
std::deque<Sheet*> sheets;
std::deque<Font> fonts;
FT_Library ft = nullptr;
char* TEMP_DIR = nullptr;
int maxTextureSide = 16384;

void init() {
  if (FT_Init_FreeType(&ft)) fprintf(stderr, "Could not init freetype library\n");
}

FILE* openFile(const char* name, const char* mode) { return files::open(name, mode); }

void clear() {
  glyphcache::clear();  // its faces hold glyph sheets released below
  for (Sheet* sheet : sheets) {
    free(sheet->data);
    delete sheet;
  }
  sheets.clear();
  // Scripts may call this mid-run: afterwards a name is not found rather than
  // bound to a released sheet.
  textures.clear();
  sprites.clear();
  fonts.clear();
}
}  // namespace resources
