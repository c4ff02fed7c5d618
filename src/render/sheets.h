// Where the asset registries meet GL: the one place a sheet of pixels becomes
// a texture, and the one lookup of a texture by the name a script uses.
#pragma once

#include <string>

#include "assets/resources.h"
#include "render/graphics.h"

// Uploads the sheet's pixels (premultiplied in place when asked) with GL_RGBA,
// GL_REPEAT and `mipmapLevels`, and stores the texture's name in
// sheet->texture. Does nothing for a null sheet.
void gr_uploadSheet(resources::Sheet* sheet, int premultiplyAlpha, unsigned mipmapLevels);
// A font's glyph sheet: rows packed without padding, no premultiplication, one
// level.
void gr_uploadGlyphSheet(resources::Sheet* sheet);
// The glyph sheets of text on screen (assets/glyphsheets.h): a sheet not
// uploaded yet becomes a texture (clamped, one level), and the rows a sheet
// gained since its last upload are copied into its texture. Does nothing when
// nothing changed.
void gr_uploadTextSheets();
// A tile map's sheet: exact size, premultiplied in place, one level, nearest
// filtering and clamped edges, so a tile samples its own texels only and odd
// window sizes do not blur neighbours into it.
GLuint gr_uploadTileSheet(unsigned char* pixels, int width, int height);
void gr_deleteTexture(GLuint texture);  // 0 is ignored
// resources::loadTextures with every sheet uploaded premultiplied.
void gr_loadTextures(const char* folder);
// A texture file edited during the run: decoded again, uploaded, and the
// texture it replaces deleted. False (logged) when the file does not decode.
bool gr_reloadTexture(const std::string& path);
// A sprite file edited during the run: the sprite sheet packed again from
// `folder`, uploaded, and the previous sheet's texture deleted. False (logged)
// when `changed` does not decode.
bool gr_reloadSpriteSheet(const char* folder, const std::string& changed);

// A GL texture with its size, as a name finds it.
struct TextureRef {
  GLuint name = 0;
  int width = 0;
  int height = 0;
};
// A loaded texture of that name wins over a render target of that name; false
// for a name that is neither.
bool gr_findTexture(const std::string& name, TextureRef* found);
