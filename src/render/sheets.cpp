// Sheet uploads and the texture-or-target lookup.
#include "render/sheets.h"

#include "assets/glyphsheets.h"
#include "render/glcheck.h"

void gr_uploadSheet(resources::Sheet* sheet, int premultiplyAlpha, unsigned mipmapLevels) {
  if (!sheet) return;
  sheet->texture = static_cast<int>(gr_createTexture(sheet->data, sheet->width, sheet->height,
                                                     premultiplyAlpha, GL_RGBA, GL_RGBA,
                                                     GL_REPEAT, mipmapLevels));
}

void gr_uploadGlyphSheet(resources::Sheet* sheet) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gr_uploadSheet(sheet, 0, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void gr_uploadTextSheets() {
  for (glyphsheets::GlyphSheet& glyphSheet : glyphsheets::sheets) {
    if (glyphSheet.changedBottom == 0) continue;
    resources::Sheet& sheet = *glyphSheet.sheet;
    if (sheet.texture == 0) {
      // Coverage in all four bytes is already premultiplied white.
      sheet.texture = static_cast<int>(gr_createTexture(sheet.data, sheet.width, sheet.height, 0,
                                                        GL_RGBA, GL_RGBA, GL_CLAMP_TO_EDGE, 1));
      // One level only: plain linear sampling gives the same picture, cheaper.
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
      glcheck::check("Glyph sheet filter");
    } else {
      int top = glyphSheet.changedTop, rows = glyphSheet.changedBottom - glyphSheet.changedTop;
      glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(sheet.texture));
      glcheck::check("Bind glyph sheet");
      glTexSubImage2D(GL_TEXTURE_2D, 0, 0, top, sheet.width, rows, GL_RGBA, GL_UNSIGNED_BYTE,
                      sheet.data + static_cast<size_t>(top) * sheet.width * 4);
      glcheck::check("Update glyph sheet");
    }
    glyphSheet.changedTop = glyphSheet.changedBottom = 0;
  }
}

GLuint gr_uploadTileSheet(unsigned char* pixels, int width, int height) {
  GLuint texture = gr_createTexture(pixels, width, height, 1, GL_RGBA, GL_RGBA, GL_CLAMP_TO_EDGE, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glcheck::check("Tile sheet filter");
  return texture;
}

void gr_deleteTexture(GLuint texture) {
  if (texture) glDeleteTextures(1, &texture);
}

void gr_loadTextures(const char* folder) {
  resources::loadTextures(folder, [](resources::Sheet& sheet, unsigned mipmapLevels) {
    gr_uploadSheet(&sheet, 1, mipmapLevels);
  });
}

bool gr_reloadTexture(const std::string& path) {
  return resources::reloadTexture(path, [](resources::Sheet& sheet, unsigned mipmapLevels) {
    GLuint previous = static_cast<GLuint>(sheet.texture);
    gr_uploadSheet(&sheet, 1, mipmapLevels);
    if (previous) glDeleteTextures(1, &previous);
  });
}

bool gr_reloadSpriteSheet(const char* folder, const std::string& changed) {
  GLuint previous = 0;
  if (!resources::sprites.empty() && resources::sprites.begin()->second.sheet)
    previous = static_cast<GLuint>(resources::sprites.begin()->second.sheet->texture);
  resources::Sheet* sheet = resources::repackSpriteSheet(folder, changed);
  if (!sheet) return false;
  gr_uploadSheet(sheet, 1, 1);
  if (previous) glDeleteTextures(1, &previous);
  return true;
}

bool gr_findTexture(const std::string& name, TextureRef* found) {
  if (resources::Sheet* sheet = resources::getTexture(name)) {
    *found = {static_cast<GLuint>(sheet->texture), sheet->width, sheet->height};
    return true;
  }
  if (RenderTarget* target = gr_getRenderTarget(name)) {
    *found = {target->texture, target->width, target->height};
    return true;
  }
  return false;
}
