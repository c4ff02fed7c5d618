// Writing a game folder into a zip archive that any machine rebuilds byte for
// byte: entries sorted by path, fixed time stamps and permissions, dot-files
// and dot-folders left out. Pictures and sounds, compressed already, are
// stored; everything else is deflated.
#pragma once

#include <string>

namespace package {
// Writes the archive of `gameDir` to `out`; false with `error` set (one line)
// when the folder has no main.lua or a file cannot be read or written. A file
// of the folder that is `out` itself is left out.
bool write(const std::string& gameDir, const std::string& out, std::string& error);
}  // namespace package
