// A tile layer's cells from the text Tiled stores them as: CSV, or base64 of
// little-endian 32-bit gids, plain, zlib or gzip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace maps {
// Exactly `count` gids from `text`, or MapError: a stream cut short, bytes
// that are not base64, a count that is not the layer's, zstd (refused).
std::vector<uint32_t> decodeCells(const std::string& text, const std::string& encoding,
                                  const std::string& compression, size_t count);
// One gid written as decimal text (CSV cells, XML <tile gid>, JSON numbers
// read as text never reach here): MapError unless it fits 32 bits.
uint32_t parseGid(const char* begin, const char* end);
}  // namespace maps
