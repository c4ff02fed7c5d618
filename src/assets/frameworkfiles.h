// Where the framework's own files (its default shaders, its default font) are
// read from, most specific first: beside the executable, the installed tree
// relative to it (a prefix chosen at install or packaging time), the build
// tree (test programs live elsewhere), the configured install prefix. A game's
// own files are looked for by the callers first; this knows only the
// framework's folders.
#pragma once

#include <string>

namespace frameworkfiles {
// The path of `relative` (e.g. "fonts/DejaVuSans.ttf") in the first of those
// folders where it is readable; empty when none has it.
std::string find(const std::string& relative);
}  // namespace frameworkfiles
