// The harnesses' shared helpers.
#include "harness.h"

#include <unistd.h>

namespace fuzz {
void quietLog() {
  if (!freopen("/dev/null", "w", stdout)) abort();
}

std::string writeInput(const uint8_t* data, size_t size, const char* extension) {
  const char* folder = getenv("TMPDIR");
  std::string path = std::string(folder && *folder ? folder : "/tmp") + "/tarnwick-fuzz-" +
                     std::to_string(getpid()) + extension;
  FILE* file = fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(size == 0 || fwrite(data, 1, size, file) == size);
  fclose(file);
  return path;
}

unsigned readAll(const unsigned char* bytes, size_t size) {
  unsigned sum = 0;
  for (size_t i = 0; i < size; ++i) sum += bytes[i];
  return sum;
}
}  // namespace fuzz
