// The test-only probe module's native side.
#include "probe.h"

#include <stdexcept>

namespace probe {

int destroyed = 0;

Thing::~Thing() { ++destroyed; }

Thing* shared() {
  static Thing thing;
  return &thing;
}

void release(Thing* thing) { delete thing; }

int countOf(Thing* thing) { return thing ? thing->count : -1; }

bool flip(bool value) { return !value; }

unsigned int half(unsigned int value) { return value / 2; }

int codeOf(char c) { return static_cast<unsigned char>(c); }

int mayThrow(bool fail, const char* message) {
  if (!fail) return 1;
  if (*message) throw std::runtime_error(message);
  throw 7;
}

}  // namespace probe
