// Glyph sheet uploads: whole at first, by changed rows afterwards.
#include "render/glyphupload.h"

#include "assets/glyphsheets.h"
#include "render/glcheck.h"
#include "render/graphics.h"

void gr_uploadGlyphSheets() {
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
