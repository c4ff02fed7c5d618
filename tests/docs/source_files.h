// The repository's own files, read by the docs tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace docstest {
// The whole file at `relative` below the repository; empty when unreadable.
inline std::string readSource(const std::string& relative) {
  std::ifstream in(std::string(TARNWICK_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace docstest
