// A zip archive read with libzip: its entries indexed by normalised name below
// the game's root, and an entry inflated to memory under a byte cap.
#pragma once

#include <zip.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "files/files.h"

namespace archive {
struct Archive {
  zip_t* zip = nullptr;
  std::map<std::string, zip_uint64_t> entries;  // game path to entry index
  std::set<std::string> folders;                // every folder holding an entry; "" is the root
};

// Opens the archive (or the window of `length` bytes at `start` when `length`
// is above 0) and indexes it; false with `error` set when it cannot be read or
// has no main.lua at its root or in its one top folder. Entries whose names
// would leave the archive are left out, each with a log line.
bool open(const std::string& path, uint64_t start, uint64_t length, Archive& archive,
          std::string& error);
void close(Archive& archive);
// The entry's bytes; false with `error` set when it is missing, declares or
// inflates to more than `cap` bytes, or does not inflate, and `failure` saying
// which.
bool read(const Archive& archive, const std::string& path, std::string& bytes, std::string& error,
          size_t cap, files::ReadFailure& failure);
}  // namespace archive
