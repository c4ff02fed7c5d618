// Game-relative paths: one spelling for every way a path can be written, and
// the refusal of paths that would leave the game. Every path the framework
// normalises follows the one rule below.
#pragma once

#include <string>

namespace paths {
// `path` with empty and "." components dropped and ".." applied, components
// joined by single slashes ("assets/textures//./x.png" is
// "assets/textures/x.png"; "" and "." are ""). False for an absolute path, one
// that climbs above its start (the game's root), or one holding a NUL or a
// backslash.
bool normaliseInGame(const std::string& path, std::string& normal);
// `relative`, as a file at `from` names it, resolved against `from`'s folder
// by normaliseInGame's rule ("assets/maps/a.tmx" and "../tilesets/t.tsx" give
// "assets/tilesets/t.tsx"). False for an absolute `relative` and for one that
// climbs above the game's root. An absolute `from` (a tool's file on disk)
// keeps its leading "/" and resolves below it.
bool resolveInGame(const std::string& from, const std::string& relative, std::string& normal);
// True for a single file name that every system takes: no slash, not "." or
// "..", not starting with "." (hidden files and the save folder's
// temporaries), at most 255 bytes, none of \ : * ? " < > | or a control
// character, not ending in "." or " ", and not a Windows device name (CON,
// PRN, AUX, NUL, COM1-9, LPT1-9, in any case, with or without an extension).
bool plainName(const std::string& name);
}  // namespace paths
