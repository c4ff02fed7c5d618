// Screenshots of the window, for tests and recordings.
#include "host/screenshot.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/sdlutils.h"
#include "platform/files.h"
#include "render/screen.h"

namespace screenshot {
bool writePNG(const std::string& path, int width, int height, const unsigned char* pixels) {
  FILE* file = platform::openFile(path, "wb");
  if (!file) {
    fprintf(stderr, "tarnwick: cannot write screenshot %s: %s\n", path.c_str(), strerror(errno));
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  bool written = false;
  if (info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < height; ++y)
      rows[static_cast<size_t>(y)] =
          const_cast<png_bytep>(pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 4);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(&png, &info);
  if (fclose(file) != 0) written = false;
  if (!written) fprintf(stderr, "tarnwick: cannot write screenshot %s\n", path.c_str());
  return written;
}

bool writeWindow(const std::string& path) {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  if (width <= 0 || height <= 0) return false;
  std::vector<unsigned char> topDown = gr_readWindow(width, height);
  return writePNG(path, width, height, topDown.data());
}
}  // namespace screenshot
