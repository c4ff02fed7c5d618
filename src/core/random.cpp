// PCG32 as pcg_basic.c has it; see random.h.
#include "core/random.h"

namespace rng {
namespace {
const uint64_t MULTIPLIER = 6364136223846793005ULL;

uint64_t next64(Generator& generator) {
  uint64_t high = next(generator);
  return high << 32 | next(generator);
}
}  // namespace

Generator seeded(uint64_t seed, uint64_t stream) {
  Generator generator;
  generator.state = 0;
  generator.increment = stream << 1 | 1;
  next(generator);
  generator.state += seed;
  next(generator);
  return generator;
}

uint32_t next(Generator& generator) {
  uint64_t old = generator.state;
  generator.state = old * MULTIPLIER + generator.increment;
  uint32_t shifted = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
  uint32_t rotation = static_cast<uint32_t>(old >> 59);
  return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
}

double unit(Generator& generator) {
  // The top 53 bits over 2^53: exact in a double.
  return static_cast<double>(next64(generator) >> 11) * (1.0 / 9007199254740992.0);
}

uint64_t below(Generator& generator, uint64_t range) {
  // 2^64 mod range: draws under it would favour the low results.
  uint64_t uneven = (0 - range) % range;
  for (;;) {
    uint64_t drawn = next64(generator);
    if (drawn >= uneven) return drawn % range;
  }
}
}  // namespace rng
