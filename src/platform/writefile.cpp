// Writing a file whole, the same on every system: a temporary beside it,
// then the system's own replaceFile.
#include <cerrno>
#include <cstdio>

#include "platform/files.h"

namespace platform {
bool writeFile(const std::string& path, const std::vector<const std::string*>& pieces,
               Access access) {
  std::string temporary = temporaryFile(folderOf(path));
  if (temporary.empty()) return false;
  FILE* file = openFile(temporary, "wb");
  bool ok = file != nullptr;
  for (const std::string* piece : pieces)
    ok = ok && fwrite(piece->data(), 1, piece->size(), file) == piece->size();
  if (file && fclose(file) != 0) ok = false;
  if (!ok) {
    int error = errno;
    removeFile(temporary);
    errno = error;
    return false;
  }
  return replaceFile(temporary, path, access);
}
}  // namespace platform
