// tarnwick --convert-model IN.obj OUT.mod [--animation ANIM.lua]: turns an OBJ
// mesh, and key-frame curves from an animation description
// (animationscript.h), into a .mod file. Runs without a window or a game.
#pragma once

#include <string>

namespace convertmodel {
// Converts and writes; returns the process exit status. Success prints one line
// on standard output; bad input (a file that cannot be read, an OBJ without
// faces, more vertices than the format holds, a bad description) prints one
// line on standard error, leaves no output file and gives 1.
int run(const std::string& objPath, const std::string& modPath, const std::string& animationPath);
}  // namespace convertmodel
