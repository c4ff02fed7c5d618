// What the libFuzzer harnesses share: the input as a file (the loaders open
// files by path), a read of every byte a loader hands back (the sanitizers
// then see any that is not there), and the check that stops a run when an
// invariant fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Stops the run with the failed condition: libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      fprintf(stderr, "Invariant failed at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      abort();                                                                             \
    }                                                                                      \
  } while (0)

namespace fuzz {
// Silences the loaders' log, which goes to standard output; libFuzzer reports
// on standard error.
void quietLog();
// Writes the input to this process's own file with the given extension (for
// example ".png") in the temporary folder and returns its path.
std::string writeInput(const uint8_t* data, size_t size, const char* extension);
// Reads every byte; the sum keeps the reads from being optimised away.
unsigned readAll(const unsigned char* bytes, size_t size);
}  // namespace fuzz
