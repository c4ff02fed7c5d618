// The framework's random number generator: PCG32 (PCG-XSH-RR with 64 bits of
// state and 32-bit output), from M. E. O'Neill, "PCG: A Family of Simple Fast
// Space-Efficient Statistically Good Algorithms for Random Number Generation"
// (2014), as pcg-random.org's minimal C implementation (pcg_basic.c) writes
// it. Integer arithmetic only, and doubles are built from its bits, so every
// platform (glibc, msvcrt, a web page) draws the same sequence. No Lua here:
// the script binding is host/mathrandom.
#pragma once

#include <cstdint>

namespace rng {
// The stream every seed starts on (pcg_basic's demonstration uses 54 too, so
// seed 42 reproduces its published output).
const uint64_t STREAM = 54;

struct Generator {
  uint64_t state = 0;
  uint64_t increment = 1;  // odd: which of the 2^63 streams
};

// A generator started from `seed` on `stream` (pcg32_srandom_r).
Generator seeded(uint64_t seed, uint64_t stream = STREAM);
// The next 32 bits (pcg32_random_r).
uint32_t next(Generator& generator);
// A double in [0, 1) made of 53 bits of two draws: every value is a multiple
// of 2^-53, the same everywhere.
double unit(Generator& generator);
// A whole number in [0, range), without bias (64 bits of two draws, drawn
// again in the rare case that they fall in the uneven remainder); range >= 1.
uint64_t below(Generator& generator, uint64_t range);
}  // namespace rng
