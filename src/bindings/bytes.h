// File contents between scripts and the file layer. Contents may be binary,
// so they travel with their length (never as NUL-terminated text); a missing
// file is nil to the script.
#pragma once

#include <string>
#include <vector>

namespace bytes {
struct Maybe {
  bool found = false;
  std::string bytes;
};
using Names = std::vector<std::string>;
}  // namespace bytes
