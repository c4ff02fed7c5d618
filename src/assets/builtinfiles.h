// The framework's files compiled into the executable: a table generated at
// build time (cmake/builtin-files.cmake) from the same files the build stages
// beside the executable. Only frameworkfiles reads it.
#pragma once

#include <cstddef>

namespace builtinfiles {
struct File {
  const char* name;  // relative to the framework's folder: "shaders/gl210/pt.vs"
  const unsigned char* bytes;
  size_t size;
};

extern const File FILES[];
extern const size_t COUNT;
}  // namespace builtinfiles
