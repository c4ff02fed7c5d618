// Finding the archive a fused executable carries.
#include "host/fused.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

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
  FILE* file = platform::openFile(path, "rb");
  if (!file) return false;
  unsigned char bytes[TRAILER_BYTES];
  bool read = fseeko(file, 0, SEEK_END) == 0;
  off_t size = read ? ftello(file) : -1;
  read = size >= static_cast<off_t>(TRAILER_BYTES) &&
         fseeko(file, size - static_cast<off_t>(TRAILER_BYTES), SEEK_SET) == 0 &&
         fread(bytes, 1, TRAILER_BYTES, file) == TRAILER_BYTES;
  fclose(file);
  if (!read || memcmp(bytes + 8, MARK, 8) != 0) return false;
  length = 0;
  for (int i = 7; i >= 0; --i) length = (length << 8) | bytes[i];
  uint64_t body = static_cast<uint64_t>(size) - TRAILER_BYTES;
  if (length == 0 || length > body) return false;
  start = body - length;
  return true;
}
}  // namespace fused
