// Fuzzes mounting a game archive and reading every entry through the file
// layer: a refused archive leaves nothing mounted, an entry is read whole or
// refused, and every byte handed back is readable (the sanitizers check).
#include <string>
#include <vector>

#include "files/files.h"
#include "harness.h"

namespace {
// A small cap keeps a declared size from costing the harness memory; the
// check against it is the same for any cap.
const size_t CAP = 1u << 20;

void readEverything(const std::string& folder, int depth) {
  FUZZ_CHECK(depth < 64);
  for (const std::string& name : files::list(folder)) {
    FUZZ_CHECK(!name.empty() && name.find('/') == std::string::npos);
    std::string path = folder.empty() ? name : folder + "/" + name;
    if (!files::exists(path)) {
      readEverything(path, depth + 1);
      continue;
    }
    std::string bytes, error;
    if (files::read(path, bytes, error, CAP)) {
      FUZZ_CHECK(bytes.size() <= CAP);
      fuzz::readAll(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    } else {
      FUZZ_CHECK(bytes.empty() && !error.empty());
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, ".zip");
  std::string error;
  if (!files::mountArchive(path, 0, 0, error)) {
    FUZZ_CHECK(!error.empty() && !files::archiveMounted());
    return 0;
  }
  FUZZ_CHECK(files::exists("main.lua"));
  readEverything("", 0);
  // A stream over main.lua reads back what it holds.
  FILE* file = files::open("main.lua", "rb");
  if (file) {
    char chunk[256];
    while (fread(chunk, 1, sizeof chunk, file) > 0) {
    }
    fclose(file);
  }
  files::unmount();
  return 0;
}
