// Finding the archive a fused executable carries.
#include "host/fused.h"

#include <cstring>
#include <filesystem>
#include <fstream>


namespace fused {
namespace {
const char MARK[] = "TWGAME01";
}

std::string trailer(uint64_t length) {
  std::string bytes(TRAILER_BYTES, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((length >> (8 * i)) & 0xff);
  memcpy(&bytes[8], MARK, 8);
  return bytes;
}

bool find(const std::string& path, uint64_t& start, uint64_t& length) {
  // A stream's offsets are 64 bits wide on every platform, unlike off_t, and
  // the path reaches the OS as UTF-8 (wide where that is the OS's form).
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  unsigned char bytes[TRAILER_BYTES];
  std::streamoff size = file.seekg(0, std::ios::end) ? static_cast<std::streamoff>(file.tellg()) : -1;
  bool read = size >= static_cast<std::streamoff>(TRAILER_BYTES) &&
              file.seekg(size - static_cast<std::streamoff>(TRAILER_BYTES)) &&
              file.read(reinterpret_cast<char*>(bytes), TRAILER_BYTES);
  if (!read || memcmp(bytes + 8, MARK, 8) != 0) return false;
  length = 0;
  for (int i = 7; i >= 0; --i) length = (length << 8) | bytes[i];
  uint64_t body = static_cast<uint64_t>(size) - TRAILER_BYTES;
  if (length == 0 || length > body) return false;
  start = body - length;
  return true;
}
}  // namespace fused
