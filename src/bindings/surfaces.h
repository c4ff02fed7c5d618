// Pictures for SDL's own uses (the cursor, the window icon): a PNG file under
// assets/textures/ decoded into an SDL surface.
#pragma once

#include <SDL.h>

namespace surfaces {
// The picture assets/textures/<name> as an RGBA surface that owns its pixels;
// null when the name is too long or the file does not decode (the loader
// logs that). The caller frees it with SDL_FreeSurface.
SDL_Surface* loadTexture(const char* name);
}  // namespace surfaces
