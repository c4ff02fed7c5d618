// The packaging commands: --package (a game archive), --fuse (one executable
// carrying the game) and --bundle (that executable with the libraries and the
// framework's files a player's machine may lack). Each writes its output, says
// where on standard output, and returns the exit status: 0, 1 after one line
// on standard error, or 2 when the output would replace a file of the game
// (host/outputs.h).
#pragma once

#include <string>

namespace shipping {
int packageGame(const std::string& gameDir, const std::string& out);
int fuseGame(const std::string& gameDir, const std::string& out);
int bundleGame(const std::string& gameDir, const std::string& outDir);
}  // namespace shipping
