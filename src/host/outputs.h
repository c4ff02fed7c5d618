// The packaging commands' outputs (--package, --fuse, --bundle, --export-web):
// where one may go, and writing it whole. An output may lie inside the game's
// folder (a dist/ beside the sources): every output found there is left out
// of every archive, and an output never takes the place of a file of the
// game; only an earlier output of the same command is replaced there. Every file is written to a hidden
// temporary beside it and renamed over it, so a failed or killed run leaves
// the old output or the new, never half of one.
#pragma once

#include <string>
#include <vector>

namespace outputs {
// The exit status of a command whose output is refused.
const int REFUSED = 2;

// Whether `path` is the game folder or lies inside it.
bool insideGame(const std::string& gameDir, const std::string& path);
// The line "tarnwick: --COMMAND refuses 'OUT': it is part of the game, not an
// earlier output" on standard error; returns REFUSED.
int refuse(const std::string& command, const std::string& out);

// A new empty hidden file beside `path`, for write-then-rename; empty with
// `error` set when it cannot be made.
std::string temporaryBeside(const std::string& path, std::string& error);
// Renames the finished `temporary` over `path`, with the mode a new file gets
// (executable or not, under the umask); the temporary is gone either way.
bool replace(const std::string& temporary, const std::string& path, bool executable,
             std::string& error);
// Whether `path` is an executable --fuse wrote (it carries a game).
bool isFused(const std::string& path);
// Whether a file or folder of a game is a packaging output: an archive
// --package wrote, an executable --fuse wrote, or a folder holding the
// executable of --bundle or the game.zip of --export-web.
bool isOutput(const std::string& path, bool folder);
// The archive of `gameDir`, without its outputs, written whole to `out`.
bool writeArchive(const std::string& gameDir, const std::string& out, std::string& error);
// The `pieces` one after another as the file `path`, written whole.
bool write(const std::string& path, const std::vector<const std::string*>& pieces,
           bool executable, std::string& error);
}  // namespace outputs
