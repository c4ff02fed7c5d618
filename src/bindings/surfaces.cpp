// Decoding goes through the asset loader, so these pictures follow the same
// rules and messages as textures.
#include "bindings/surfaces.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "assets/resources.h"

namespace surfaces {
SDL_Surface* loadTexture(const char* name) {
  std::string path = std::string("assets/textures/") + name;
  resources::Image image = resources::loadPNG(path.c_str());
  if (!image.data) return nullptr;
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, image.width, image.height, 32, SDL_PIXELFORMAT_RGBA32);
  if (surface) {
    const size_t row = static_cast<size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y)
      memcpy(static_cast<unsigned char*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
             image.data + static_cast<size_t>(y) * row, row);
  }
  free(image.data);
  return surface;
}
}  // namespace surfaces
