// Key-frame curves from a small Lua description, for the model converter. The
// file returns a table of curves, each a table from frame number to key frame:
//
//   return {
//     translation = { [0] = {0, 0, 0}, [24] = {0, 1.5, 0} },       -- x, y, z
//     rotation = { [0] = {angle = 0, axis = {0, 1, 0}},             -- degrees
//                  [24] = {angle = 180, axis = {0, 1, 0}},
//                  [48] = {angle = 360, axis = {0, 1, 0}} },
//     scale = { [0] = 1, [24] = {1, 2, 1} },                       -- one or x, y, z
//   }
//
// Frame numbers are whole numbers from 0; every curve is optional. Two
// neighbouring rotation key frames may not be a whole turn apart.
#pragma once

#include <string>
#include <vector>

#include "assets/model_records.h"

namespace animationscript {
// Runs the file in an interpreter of its own and appends its curves, in the
// order translation, rotation, scale. False, with `problem` saying what is
// wrong (one line), when the file cannot be run or describes no valid curves.
bool read(const std::string& path, std::vector<animation::Curve>& curves, std::string& problem);
}  // namespace animationscript
