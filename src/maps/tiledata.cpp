// Layer data decoding. The output is sized by the map before any input is
// read, and a compressed stream may fill it exactly: a stream that would give
// more or fewer bytes is refused, so no number inside the file sizes memory.
#include "maps/tiledata.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "maps/map.h"

namespace maps {
namespace {
[[noreturn]] void fail(const std::string& message) { throw MapError{message}; }

const char* const SIZE_MISMATCH = "layer data does not match the map size";

int base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::vector<unsigned char> decodeBase64(const std::string& text) {
  std::vector<unsigned char> bytes;
  bytes.reserve(text.size() / 4 * 3);
  unsigned buffer = 0;
  int bits = 0, padding = 0;
  size_t symbols = 0;
  for (unsigned char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      ++symbols;
      continue;
    }
    int value = base64Value(c);
    if (value < 0 || padding > 0) fail("layer data is not valid base64");
    ++symbols;
    buffer = (buffer << 6) | static_cast<unsigned>(value);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<unsigned char>(buffer >> bits));
    }
  }
  if (symbols % 4 != 0 || padding > 2) fail("truncated base64 layer data");
  return bytes;
}

// Inflates into exactly `size` bytes; `windowBits` picks zlib or gzip.
std::vector<unsigned char> inflateExactly(const std::vector<unsigned char>& input, size_t size,
                                          int windowBits, const char* format) {
  // Deflate expands at most about 1032 times: a stream too short to fill the
  // layer is refused before the layer's memory is taken.
  if (size / 1032 > input.size() + 64) fail(std::string("truncated ") + format + " layer data");
  std::vector<unsigned char> output(size + 1);  // one spare byte shows a surplus
  z_stream stream;
  memset(&stream, 0, sizeof stream);
  if (inflateInit2(&stream, windowBits) != Z_OK) fail("cannot start decompression");
  stream.next_in = const_cast<unsigned char*>(input.data());
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = output.data();
  stream.avail_out = static_cast<uInt>(output.size());
  int status = inflate(&stream, Z_FINISH);
  size_t produced = output.size() - stream.avail_out;
  inflateEnd(&stream);
  if (status == Z_STREAM_END) {
    if (produced != size) fail(SIZE_MISMATCH);
    output.resize(size);
    return output;
  }
  if (status == Z_BUF_ERROR && stream.avail_out == 0) fail(SIZE_MISMATCH);
  if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0))
    fail(std::string("truncated ") + format + " layer data");
  fail(std::string("corrupt ") + format + " layer data");
}

bool isSeparator(char c) { return c == ',' || c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
}  // namespace

uint32_t parseGid(const char* begin, const char* end) {
  if (begin == end) fail("empty tile id");
  uint64_t value = 0;
  for (const char* c = begin; c != end; ++c) {
    if (*c < '0' || *c > '9') fail("tile id \"" + std::string(begin, end) + "\" is not a number");
    value = value * 10 + static_cast<uint64_t>(*c - '0');
    if (value > 0xFFFFFFFFu) fail("tile id " + std::string(begin, end) + " exceeds 32 bits");
  }
  return static_cast<uint32_t>(value);
}

std::vector<uint32_t> decodeCells(const std::string& text, const std::string& encoding,
                                  const std::string& compression, size_t count) {
  std::vector<uint32_t> cells;
  if (encoding == "csv") {
    if (!compression.empty()) fail("compressed CSV layer data");
    cells.reserve(std::min(count, text.size() / 2 + 1));  // a cell takes two bytes or more
    const char* c = text.data();
    const char* end = c + text.size();
    while (c != end) {
      while (c != end && isSeparator(*c)) ++c;
      if (c == end) break;
      const char* start = c;
      while (c != end && !isSeparator(*c)) ++c;
      if (cells.size() == count) fail(SIZE_MISMATCH);
      cells.push_back(parseGid(start, c));
    }
    if (cells.size() != count) fail(SIZE_MISMATCH);
    return cells;
  }
  if (encoding != "base64") fail("unknown layer encoding \"" + encoding + "\"");
  std::vector<unsigned char> bytes = decodeBase64(text);
  if (compression == "zlib")
    bytes = inflateExactly(bytes, count * 4, MAX_WBITS, "zlib");
  else if (compression == "gzip")
    bytes = inflateExactly(bytes, count * 4, 16 + MAX_WBITS, "gzip");
  else if (compression == "zstd")
    fail("zstd-compressed layers are not supported; save the map with zlib or gzip");
  else if (!compression.empty())
    fail("unknown layer compression \"" + compression + "\"");
  if (bytes.size() != count * 4) fail(SIZE_MISMATCH);
  cells.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const unsigned char* b = &bytes[i * 4];
    cells[i] = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
  }
  return cells;
}
}  // namespace maps
