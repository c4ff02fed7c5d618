// Sheet uploads and the texture-or-target lookup.
#include "render/sheets.h"

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

void gr_loadTextures(const char* folder) {
  resources::loadTextures(folder, [](resources::Sheet& sheet, unsigned mipmapLevels) {
    gr_uploadSheet(&sheet, 1, mipmapLevels);
  });
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
