// Sprite lookup by name, with the blockerSad stand-in for missing names, and the
// texture coordinates of a sprite's quad. The sprites themselves are registered
// by the sheet packer.
#include <cstring>
#include <string>

#include "assets/resources.h"
#include "core/diagnostics.h"

namespace resources {
namespace {
// Every missing sprite is drawn as this one.
const char* const FALLBACK_SPRITE = "blockerSad";

// Corners of resource.uv for the six vertices of the quad's two triangles.
const int VERTEX_ORDER[6] = {0, 2, 1, 0, 3, 2};
}  // namespace

Sprite getSprite(const char* alias) {
  if (!alias) alias = "";  // a script's nil is a name that is never found
  auto found = sprites.find(alias);
  if (found != sprites.end()) return found->second;
  diagnostics::logRepeated(std::string("sprite ") + alias, "Couldn't find sprite \"%s\"\n", alias);
  // Without the stand-in the fallback would ask for itself forever: an empty
  // sprite (no sheet, no size) ends it.
  if (strcmp(alias, FALLBACK_SPRITE) == 0) return Sprite();
  return getSprite(FALLBACK_SPRITE);
}

void getUVs(Sprite& resource, float* vertices, int offset, int stride) {
  if (!vertices) return;
  for (int k = 0; k < 6; ++k) {
    const float* corner = resource.uv[VERTEX_ORDER[k]];
    vertices[offset + k * stride] = corner[0];
    vertices[offset + k * stride + 1] = corner[1];
  }
}
}  // namespace resources
