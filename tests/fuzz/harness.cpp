// The harnesses' shared helpers.
#include "harness.h"

#include <unistd.h>

namespace fuzz {
void quietLog() {
  if (!freopen("/dev/null", "w", stdout)) abort();
}

namespace {
std::string inputPath;  // one file a process, removed when it ends

void removeInput() { remove(inputPath.c_str()); }
}  // namespace

std::string writeInput(const uint8_t* data, size_t size, const char* extension) {
  if (inputPath.empty()) {
    const char* folder = getenv("TMPDIR");
    inputPath = std::string(folder && *folder ? folder : "/tmp") + "/tarnwick-fuzz-" +
                std::to_string(getpid()) + extension;
    atexit(removeInput);
  }
  const std::string& path = inputPath;
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
