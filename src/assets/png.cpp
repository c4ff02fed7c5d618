// PNG decoding: 8-bit RGBA files into an Image, rows top first. Every failure,
// libpng's own error jump included, logs a line, closes the file, frees what
// was allocated and returns the empty image.
#include <png.h>

#include <csetjmp>
#include <cstdlib>

#include "assets/resources.h"
#include "core/log.h"

namespace resources {
namespace {
const size_t SIGNATURE_BYTES = 8;

// Everything a decode allocates. It lives in loadPNG's frame, outside the
// function that calls setjmp, so its fields stay valid after libpng jumps back.
struct Decoding {
  FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_infop endInfo = nullptr;
  png_bytepp rows = nullptr;
  Image image;
};

// Releases everything but the image's pixels; the caller decides about those.
void release(Decoding& d) {
  if (d.png) png_destroy_read_struct(&d.png, &d.info, &d.endInfo);
  free(d.rows);
  d.rows = nullptr;
  if (d.file) fclose(d.file);
  d.file = nullptr;
}

// Reads the image from the open file past its signature. False when the file
// is not 8-bit RGBA or libpng gave up on it. Nothing here may own a resource
// by destructor: longjmp would skip it.
bool decode(const char* path, Decoding& d) {
  if (setjmp(png_jmpbuf(d.png))) {
    DLOG("Failed to decode png %s\n", path);
    return false;
  }
  png_init_io(d.png, d.file);
  png_set_sig_bytes(d.png, static_cast<int>(SIGNATURE_BYTES));
  png_read_info(d.png, d.info);
  // Consumers read 4 bytes a pixel, so a 16-bit RGBA file is refused as well.
  if (png_get_color_type(d.png, d.info) != PNG_COLOR_TYPE_RGB_ALPHA ||
      png_get_bit_depth(d.png, d.info) != 8) {
    DLOG("Image %s isn't of format RGBA\n", path);
    return false;
  }
  png_uint_32 width = png_get_image_width(d.png, d.info);
  png_uint_32 height = png_get_image_height(d.png, d.info);
  png_set_interlace_handling(d.png);
  png_read_update_info(d.png, d.info);
  size_t rowBytes = png_get_rowbytes(d.png, d.info);
  d.image.data = static_cast<unsigned char*>(malloc(rowBytes * height));
  d.rows = static_cast<png_bytepp>(malloc(sizeof(png_bytep) * height));
  if (!d.image.data || !d.rows) {
    DLOG("Not enough memory for png %s\n", path);
    return false;
  }
  for (png_uint_32 y = 0; y < height; ++y) d.rows[y] = d.image.data + y * rowBytes;
  png_read_image(d.png, d.rows);
  png_read_end(d.png, d.endInfo);
  d.image.width = static_cast<int>(width);
  d.image.height = static_cast<int>(height);
  return true;
}
}  // namespace

Image loadPNG(const char* path) {
  Decoding d;
  d.file = openFile(path, "rb");
  if (!d.file) {
    DLOG("Failed to open file %s\n", path);
    return Image();
  }
  png_byte header[SIGNATURE_BYTES] = {};
  if (fread(header, 1, SIGNATURE_BYTES, d.file) != SIGNATURE_BYTES ||
      png_sig_cmp(header, 0, SIGNATURE_BYTES) != 0) {
    DLOG("File %s isn't a png", path);
    release(d);
    return Image();
  }
  // The library's own version string: libpng refuses a structure made for
  // another release line, and every file would fail.
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!d.png) {
    DLOG("Failed to create png ptr\n");
    release(d);
    return Image();
  }
  d.info = png_create_info_struct(d.png);
  if (d.info) d.endInfo = png_create_info_struct(d.png);
  if (!d.info || !d.endInfo) {
    DLOG("Failed to create info ptr\n");
    release(d);
    return Image();
  }
  bool decoded = decode(path, d);
  release(d);
  if (!decoded) {
    free(d.image.data);
    return Image();
  }
  return d.image;
}
}  // namespace resources
