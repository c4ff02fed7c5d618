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
// Coordinates beyond this (in any unit) are refused like NaN: Box2D's
// arithmetic on them overflows into its asserts.
const double MAX_COORDINATE = 1e9;
// Whether all the numbers are finite and within MAX_COORDINATE; else a
// warning naming `who`.
bool finiteArguments(const std::string& who, std::initializer_list<double> numbers);
}  // namespace physics
