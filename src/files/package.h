// Writing a game folder into a zip archive that any machine rebuilds byte for
// byte: entries sorted by path, fixed time stamps and permissions, dot-files
// and dot-folders left out, and what the game's .tarnwickignore names.
// Pictures and sounds, compressed already, are stored; everything else is
// deflated.
#pragma once

#include <string>
#include <vector>

namespace package {
// Writes the archive of `gameDir` to `out` (replacing it); false with `error`
// set (one line) when the folder has no main.lua (or leaves it out), or a
// file cannot be read or written. Files and folders of the game that are
// among `outputs` (a packaging command's own outputs) are left out.
bool write(const std::string& gameDir, const std::string& out,
           const std::vector<std::string>& outputs, std::string& error);
// Whether `path` is an archive write() made: a zip archive whose every entry
// bears the fixed time stamp.
bool writtenHere(const std::string& path);
}  // namespace package
