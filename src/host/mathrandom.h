// math.random and math.randomseed on the framework's own generator
// (core/random), replacing the C library's rand, whose sequences differ between
// platforms and which nobody seeded. Lua 5.1's signatures, argument checks and
// error messages are kept; only the numbers drawn differ.
#pragma once

#include <lua.hpp>

#include <cstdint>

#include "host/options.h"

namespace mathrandom {
// The seed a run starts from: --seed's, else a fixed one under --fixed-dt (so
// test runs repeat), else one from the clock.
int64_t startingSeed(const Options& options);
// Replaces math.random and math.randomseed (the standard libraries must be
// open), seeded with `seed`, and logs the seed. Leaves the stack as it found it.
void install(lua_State* L, int64_t seed);
}  // namespace mathrandom
