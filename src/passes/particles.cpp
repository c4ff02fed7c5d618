// The particle pass. Not built yet: it queues nothing.
#include "passes/particles.h"

namespace particles {
void prepare(lua_State*, HandlerQueue&, BatchMatrix&, float) {}
}  // namespace particles
