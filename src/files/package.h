// Writing a game folder into a zip archive that any machine rebuilds byte for
// byte: entries sorted by path, fixed time stamps and permissions, dot-files
// and dot-folders left out, and what the game's .tarnwickignore names.
// Pictures and sounds, compressed already, are stored; everything else is
// deflated.
#pragma once

#include <functional>
#include <string>

namespace package {
// Whether a file or folder (`folder` true) of the game is to be left out
// whatever the ignore file says: an output of the packaging commands.
using LeftOut = std::function<bool(const std::string& path, bool folder)>;

// Writes the archive of `gameDir` to `out` (replacing it); false with `error`
// set (one line) when the folder has no main.lua (or leaves it out), or a
// file cannot be read or written. `out` itself, and what `leftOut` (when
// given) names, are left out.
bool write(const std::string& gameDir, const std::string& out, const LeftOut& leftOut,
           std::string& error);
// Whether `path` is an archive write() made: a zip archive whose every entry
// bears the fixed time stamp.
bool writtenHere(const std::string& path);
}  // namespace package
