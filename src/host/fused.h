// The game archive appended to an executable: after the archive come its
// length (8 bytes, little-endian) and the mark "TWGAME01", so a copy of
// tarnwick can find the game it carries without scanning for it.
#pragma once

#include <cstdint>
#include <string>

namespace fused {
const size_t TRAILER_BYTES = 16;

// Where the archive appended to `path` lies; false when the file carries none.
bool find(const std::string& path, uint64_t& start, uint64_t& length);
// The trailer that follows an archive of `length` bytes.
std::string trailer(uint64_t length);
}  // namespace fused
