// Where the framework's own files (its default shaders, its default font) are
// read from, most specific first: beside the executable, the installed tree
// relative to it (a prefix chosen at install or packaging time), the
// configured install prefix, and last the copies built into the executable,
// so a binary copied anywhere alone still has them. A game's own files are
// looked for by the callers first; this knows only the framework's folders.
#pragma once

#include <string>
#include <vector>

namespace frameworkfiles {
// How find() names a copy built into the executable: this, then the name.
const char* const BUILT_IN = "<built-in>/";

// The path of `relative` (e.g. "fonts/DejaVuSans.ttf") in the first of those
// folders where it is readable, else BUILT_IN + `relative` when it is built
// in; empty when none has it.
std::string find(const std::string& relative);
// The whole of `path`, a path find() gave or any file files::read reads. A
// framework file on disk that cannot be read after all is read from the
// built-in copy instead. False with `error` set when neither can be had.
bool read(const std::string& path, std::string& bytes, std::string& error);
// The names of the files built into the executable, sorted (none on a web
// page, whose own file system carries them).
std::vector<std::string> builtIn();
}  // namespace frameworkfiles
