// Map files for the map tests: a temporary maps folder with a small tileset
// picture, TMX text put together from parts, and layer data in every encoding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/game_run.h"

namespace maptest {
// A folder whose maps/ holds tiles.png: two 8 × 8 tiles side by side, red
// then green. maps::folder points at it while the object lives.
class MapFolder {
 public:
  MapFolder();
  ~MapFolder();
  void write(const std::string& relative, const std::string& content) const {
    game_.write("maps/" + relative, content);
  }
  std::string file(const std::string& relative) const { return game_.file("maps/" + relative); }

 private:
  testsupport::GameFolder game_;
};

// A 2 × 2 orthogonal TMX map of 8 × 8 tiles with the tiles.png tileset
// embedded (firstgid 1, two tiles) and one layer "ground" holding `data` (the
// whole <data> element). `mapAttributes` are added to <map>.
std::string tmx(const std::string& data, const std::string& mapAttributes = "",
                const std::string& more = "");
// Little-endian bytes of the gids, as base64 layer data carries them.
std::vector<unsigned char> gidBytes(const std::vector<uint32_t>& gids);
std::string base64(const std::vector<unsigned char>& bytes);
// zlib (gzip when asked) of the bytes.
std::vector<unsigned char> compress(const std::vector<unsigned char>& bytes, bool gzip);
}  // namespace maptest
