// A read-only FILE* over bytes in memory that it owns: the loaders keep their
// FILE* while archive entries live in memory. Unlike fmemopen, it takes empty
// files, and the bytes go with fclose.
#pragma once

#include <cstdio>
#include <string>

namespace stream {
// Null, with errno set, when the stream cannot be made.
FILE* fromBytes(std::string bytes);
}  // namespace stream
