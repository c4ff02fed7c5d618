// Finding the records behind the module's arguments, with the warnings that
// refuse what Box2D must not be given.
#pragma once

#include <string>

#include "physics/api.h"
#include "physics/records.h"

namespace physics {
// The live body of the node, or null after a warning.
Body* bodyOf(bodies::Node node);
// The world of the world node, or null after a warning.
World* worldOf(bodies::Node node);
// Whether all the numbers are finite; else a warning naming `who`.
bool finiteArguments(const std::string& who, std::initializer_list<double> numbers);
}  // namespace physics
