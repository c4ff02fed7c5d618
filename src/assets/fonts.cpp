// Fonts. Not built yet: every load fails.
#include "assets/resources.h"

namespace resources {
Sheet* loadFont(const char*, const char*, unsigned int, const char*) { return nullptr; }
Sheet* loadFont(const char* folder, const char* fontName, unsigned int size) {
  return loadFont(folder, fontName, size, "");
}
Font getFont(std::string, size_t) { return Font(); }
int getGlyphAdvance(std::string, char) { return 0; }
int getGlyphLeft(std::string, char) { return 0; }
int getGlyphTop(std::string, char) { return 0; }
}  // namespace resources
