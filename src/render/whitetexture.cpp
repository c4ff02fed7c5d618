// The 1 × 1 white stand-in texture. Made with plain GL calls rather than
// gr_createTexture, which logs every upload: a game's log stays as it was.
#include "render/whitetexture.h"

#include "render/glcapabilities.h"
#include "render/glcheck.h"

GLuint gr_whiteTexture() {
  static GLuint texture = 0;
  // A page keeps its one context for its life, and in a browser glIsTexture
  // waits for the GPU process to finish all that was sent: asked for every
  // model drawn, it cost several times the frame. Elsewhere a context made
  // anew (tests open several in one process) has none yet.
  static const bool oneContext = glcapabilities::current().oneContextForLife;
  if (texture != 0 && (oneContext || glIsTexture(texture))) return texture;
  const unsigned char white[4] = {255, 255, 255, 255};
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glcheck::check("White texture");
  return texture;
}
