// The map tests' files.
#include "maps/map_files.h"

#include <zlib.h>

#include <cstring>

#include "maps/loader.h"
#include "support/picture.h"

namespace maptest {
MapFolder::MapFolder() {
  testsupport::Picture tiles = testsupport::solidPicture(16, 8, {255, 0, 0, 255});
  for (int y = 0; y < 8; ++y)
    for (int x = 8; x < 16; ++x) {
      unsigned char* pixel = &tiles.rgba[(static_cast<size_t>(y) * 16 + x) * 4];
      pixel[0] = 0;
      pixel[1] = 255;
    }
  testsupport::writePicture(game_.file("maps/tiles.png"), tiles);
  maps::folder = game_.file("maps/");
}

MapFolder::~MapFolder() {
  maps::clear([](maps::Map&) {});
  maps::folder = "assets/maps/";
}

std::string tmx(const std::string& data, const std::string& mapAttributes, const std::string& more) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<map version=\"1.10\" orientation=\"orthogonal\" renderorder=\"right-down\" width=\"2\" "
         "height=\"2\" tilewidth=\"8\" tileheight=\"8\" infinite=\"0\" " +
         mapAttributes +
         ">\n"
         " <tileset firstgid=\"1\" name=\"tiles\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"2\" "
         "columns=\"2\">\n"
         "  <image source=\"tiles.png\" width=\"16\" height=\"8\"/>\n"
         " </tileset>\n" +
         more + " <layer id=\"1\" name=\"ground\" width=\"2\" height=\"2\">\n  " + data +
         "\n </layer>\n</map>\n";
}

std::vector<unsigned char> gidBytes(const std::vector<uint32_t>& gids) {
  std::vector<unsigned char> bytes;
  for (uint32_t gid : gids)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(gid >> shift));
  return bytes;
}

std::string base64(const std::vector<unsigned char>& bytes) {
  static const char* const SYMBOLS =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= bytes[i + 2];
    text += SYMBOLS[(group >> 18) & 63];
    text += SYMBOLS[(group >> 12) & 63];
    text += i + 1 < bytes.size() ? SYMBOLS[(group >> 6) & 63] : '=';
    text += i + 2 < bytes.size() ? SYMBOLS[group & 63] : '=';
  }
  return text;
}

std::vector<unsigned char> compress(const std::vector<unsigned char>& bytes, bool gzip) {
  z_stream stream;
  memset(&stream, 0, sizeof stream);
  deflateInit2(&stream, 9, Z_DEFLATED, gzip ? 16 + MAX_WBITS : MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> out(deflateBound(&stream, bytes.size()) + 32);
  stream.next_in = const_cast<unsigned char*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}
}  // namespace maptest
