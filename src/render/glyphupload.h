// Bringing the glyph sheets of text on screen (assets/glyphsheets.h) to GL: a
// sheet not uploaded yet becomes a texture, and the rows a sheet gained since
// its last upload are copied into its texture. The sheet's `texture` holds the
// GL name; textures are never deleted, like every texture of a run.
#pragma once

// Uploads whatever changed; does nothing when nothing did. Needs the context.
void gr_uploadGlyphSheets();
