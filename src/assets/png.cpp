// PNG decoding: 8-bit RGBA files into an Image, rows top first. Every failure,
// libpng's own error jump included, logs a line, closes the file, frees what
// was allocated and returns the empty image. A picture larger than the
// texture side or the decoded-size cap is refused on its header's word.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>

#include "assets/resources.h"
#include "core/log.h"

namespace resources {
namespace {
const size_t SIGNATURE_BYTES = 8;
const png_alloc_size_t MAX_CHUNK_BYTES = 8 << 20;  // libpng's own suggestion
// libpng's own buffers (a row, a chunk, inflated text) need far less; an
// ancillary chunk's length is only warned about, then asked for in full.
const png_alloc_size_t MAX_LIBPNG_BUFFER = 16 << 20;

// A refusal is a failed allocation to libpng: it skips an ancillary chunk it
// cannot hold and gives up on anything else.
png_voidp boundedMalloc(png_structp, png_alloc_size_t size) {
  return size <= MAX_LIBPNG_BUFFER ? malloc(size) : nullptr;
}
void libpngFree(png_structp, png_voidp block) { free(block); }

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

void refuse(const char* path, png_uint_32 width, png_uint_32 height) {
  DLOG(LogLevel::Error,
       "Image %s of %u x %u pixels refused: at most %d pixels a side and %zu MiB decoded\n", path,
       width, height, maxTextureSide, MAX_IMAGE_BYTES >> 20);
}

// Reads the image from the open file past its signature. False when the file
// is not 8-bit RGBA or libpng gave up on it. Nothing here may own a resource
// by destructor: longjmp would skip it.
bool decode(const char* path, Decoding& d) {
  png_uint_32 side = static_cast<png_uint_32>(std::max(maxTextureSide, 1));
  if (setjmp(png_jmpbuf(d.png))) {
    // libpng has recorded the header's size by the time it refuses it.
    png_uint_32 width = png_get_image_width(d.png, d.info);
    png_uint_32 height = png_get_image_height(d.png, d.info);
    if (width > side || height > side)
      refuse(path, width, height);
    else
      DLOG(LogLevel::Error, "Failed to decode png %s\n", path);
    return false;
  }
  png_init_io(d.png, d.file);
  png_set_sig_bytes(d.png, static_cast<int>(SIGNATURE_BYTES));
  // The header's size is refused before any row is allocated for it, and
  // compressed text or colour profiles inflate only so far.
  png_set_user_limits(d.png, side, side);
  png_set_chunk_malloc_max(d.png, MAX_CHUNK_BYTES);
  png_read_info(d.png, d.info);
  // Consumers read 4 bytes a pixel, so a 16-bit RGBA file is refused as well.
  if (png_get_color_type(d.png, d.info) != PNG_COLOR_TYPE_RGB_ALPHA ||
      png_get_bit_depth(d.png, d.info) != 8) {
    DLOG(LogLevel::Error, "Image %s isn't of format RGBA\n", path);
    return false;
  }
  png_uint_32 width = png_get_image_width(d.png, d.info);
  png_uint_32 height = png_get_image_height(d.png, d.info);
  png_set_interlace_handling(d.png);
  png_read_update_info(d.png, d.info);
  size_t rowBytes = png_get_rowbytes(d.png, d.info);
  if (rowBytes * height > MAX_IMAGE_BYTES) {
    refuse(path, width, height);
    return false;
  }
  d.image.data = static_cast<unsigned char*>(malloc(rowBytes * height));
  d.rows = static_cast<png_bytepp>(malloc(sizeof(png_bytep) * height));
  if (!d.image.data || !d.rows) {
    DLOG(LogLevel::Error, "Not enough memory for png %s\n", path);
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
    DLOG(LogLevel::Error, "Failed to open file %s\n", path);
    return Image();
  }
  png_byte header[SIGNATURE_BYTES] = {};
  if (fread(header, 1, SIGNATURE_BYTES, d.file) != SIGNATURE_BYTES ||
      png_sig_cmp(header, 0, SIGNATURE_BYTES) != 0) {
    DLOG(LogLevel::Error, "File %s isn't a png", path);
    release(d);
    return Image();
  }
  // The library's own version string: libpng refuses a structure made for
  // another release line, and every file would fail.
  d.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, nullptr,
                                   boundedMalloc, libpngFree);
  if (!d.png) {
    DLOG(LogLevel::Error, "Failed to create png ptr\n");
    release(d);
    return Image();
  }
  d.info = png_create_info_struct(d.png);
  if (d.info) d.endInfo = png_create_info_struct(d.png);
  if (!d.info || !d.endInfo) {
    DLOG(LogLevel::Error, "Failed to create info ptr\n");
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
