// The save folder: one folder per game identity under the user's data folder,
// holding files a script writes under plain names. Writes are atomic: a run
// killed at any moment leaves a save's old contents or its new ones.
#pragma once

#include <string>
#include <vector>

namespace saves {
// The folder's name: config.identity, else the game folder's or archive's
// name. False (nothing changed) for a name that is not a plain file name.
bool setIdentity(const std::string& identity);
const std::string& identity();
// The user data folder's IDENTITY: $XDG_DATA_HOME/tarnwick/IDENTITY (when
// that variable holds an absolute path), else
// $HOME/.local/share/tarnwick/IDENTITY, on Windows %APPDATA%/tarnwick/IDENTITY;
// empty when there is none.
std::string folder();

// The calls scripts make. A name must be a plain file name (no slash, not
// starting with "."); any other, and a failing disk, raise std::runtime_error
// with a message for the script.
void write(const std::string& name, const std::string& bytes);
// False (bytes untouched) when there is no such save.
bool read(const std::string& name, std::string& bytes);
// False when there was no such save.
bool remove(const std::string& name);
// The saves' names, sorted.
std::vector<std::string> list();
// The folder, which exists once a save was written: nothing is created here.
std::string path();
}  // namespace saves
