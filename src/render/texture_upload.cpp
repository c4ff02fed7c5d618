// Texture upload: premultiplication, immutable storage, mipmaps, parameters.
// The textures belong to the callers' records; nothing here deletes them.
#include <algorithm>
#include <cstddef>

#include "assets/resources.h"
#include "core/log.h"
#include "render/glcheck.h"
#include "render/graphics.h"

namespace {
// Colour channels scaled by alpha, truncated; alpha unchanged.
void premultiply(unsigned char* data, int width, int height) {
  size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (unsigned char* pixel = data; pixel != data + pixels * 4; pixel += 4) {
    float alpha = pixel[3] / 255.0f;
    for (int channel = 0; channel < 3; ++channel)
      pixel[channel] = static_cast<unsigned char>(pixel[channel] * alpha);
  }
}

void setParameter(GLenum name, GLint value, const char* label) {
  glTexParameteri(GL_TEXTURE_2D, name, value);
  glcheck::check(label);
}
}  // namespace

GLuint gr_createTexture(unsigned char* data, int width, int height, int premultiplyAlpha,
                        GLint /*internalFormat*/, GLint format, GLint wrap, GLuint mipmapLevels) {
  if (premultiplyAlpha != 0 && format == GL_RGBA && width > 0 && height > 0 && data)
    premultiply(data, width, height);

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glcheck::check("Generate texture");
  glBindTexture(GL_TEXTURE_2D, texture);
  glcheck::check("Bind texture");

  DLOG(LogLevel::Info, "Create texture %d %d\n", width, height);
  // More levels than the size allows (or none) is a GL error that would end the
  // run; a small image asking for a long chain gets the chain it can have.
  GLuint levels = std::min(std::max(mipmapLevels, 1u), resources::mipmapLevelsAllowed(width, height));
  if (levels != mipmapLevels)
    DLOG(LogLevel::Warning, "Mipmap levels %u changed to %u for a %d x %d texture\n", mipmapLevels,
         levels, width, height);
  glTexStorage2D(GL_TEXTURE_2D, static_cast<GLsizei>(levels), GL_RGBA8, width, height);
  glcheck::check("glTexStorage2D");
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, data);
  glcheck::check("glTexSubImage2D");
  glGenerateMipmap(GL_TEXTURE_2D);
  glcheck::check("Generate mipmaps");

  setParameter(GL_TEXTURE_MAG_FILTER, GL_LINEAR, "glTexParameteri GL_TEXTURE_MAG_FILTER");
  setParameter(GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR,
               "glTexParameteri GL_TEXTURE_MIN_FILTER");
  setParameter(GL_TEXTURE_WRAP_S, wrap, "glTexParameteri GL_TEXTURE_WRAP_S");
  setParameter(GL_TEXTURE_WRAP_T, wrap, "glTexParameteri GL_TEXTURE_WRAP_T");
  return texture;
}
