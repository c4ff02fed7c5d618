// Mounting the game the command line names: a folder (entered, as the working
// folder), a zip archive, or, with no game named, the archive appended to the
// running executable. Sets the save folder's default identity from the name.
#pragma once

#include "host/options.h"

namespace gamemount {
// 0 when the game is mounted; otherwise the exit status, after one line on
// standard error. Turns --watch off for an archive, saying so once.
int mount(Options& options);
}  // namespace gamemount
