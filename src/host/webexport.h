// --export-web: a folder any static file server can serve, that plays the
// game in a browser: the page, the web runtime and the game archive.
#pragma once

#include <string>

namespace webexport {
// Writes OUT_DIR; returns the exit status: 0, 1 after one line on standard
// error (a missing runtime says how to build it), or 2 when OUT_DIR lies in
// the game and is not an earlier export (host/outputs.h).
int exportGame(const std::string& gameDir, const std::string& outDir);
}  // namespace webexport
