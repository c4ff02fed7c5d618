// The packaging commands: --package (a game archive), --fuse (one executable
// carrying the game) and --bundle (that executable with the libraries and the
// framework's files a player's machine may lack), for this machine or for
// Windows (the Windows runtime, host/runtimes.h). Each writes its output, says
// where on standard output, and returns the exit status: 0, 1 after one line
// on standard error, or 2 when the output would replace a file of the game
// (host/outputs.h).
#pragma once

#include <string>

namespace shipping {
int packageGame(const std::string& gameDir, const std::string& out);
// `target` is "windows" for the Windows runtime, else this machine's own
// executable is fused.
int fuseGame(const std::string& gameDir, const std::string& out, const std::string& target);
int bundleGame(const std::string& gameDir, const std::string& outDir, const std::string& target);
}  // namespace shipping
