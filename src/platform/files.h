// The file system and the process as the layers above see them: paths are
// UTF-8 with '/' separators (a Windows build also takes '\\'), failures set
// errno. One implementation per system: POSIX (the desktop and the page) and
// Windows, which turns paths into wide strings at its calls.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace platform {
// The running executable's path, '/' separated; empty when it cannot be told.
std::string executablePath();
// What ends the name of this system's programs: ".exe" on Windows, else
// nothing. A fused game is known by its program's name without it.
const char* executableSuffix();
// The base of the per-user data folders (saves add the game's identity, a
// log without a console goes here): $XDG_DATA_HOME/tarnwick when that is
// absolute, else $HOME/.local/share/tarnwick; on Windows the roaming
// application data folder's tarnwick. Empty when there is none.
std::string userDataFolder();
// Whether `path` names a file from the root rather than from the working
// folder ("/x"; on Windows also "C:/x", "C:\x" and "\\server\share").
bool isAbsolute(const std::string& path);

// fopen by UTF-8 path.
FILE* openFile(const std::string& path, const char* mode);
enum class FileKind { None, Regular, Folder, Other };
// What is at `path`; None, with errno set, when nothing can be told.
FileKind fileKind(const std::string& path);
// Whether an open stream is a folder (some systems open one for reading).
bool isFolder(FILE* file);
// The names in the folder (without "." and ".."), in no order; empty when
// it cannot be read.
std::vector<std::string> listFolder(const std::string& path);
// Creates `path` and the folders above it, private to the user.
bool makeFolders(const std::string& path);
bool removeFile(const std::string& path);
bool setWorkingFolder(const std::string& path);
// Empty when it cannot be told.
std::string workingFolder();
// The folder holding `path`: empty for a bare name, the root itself ("/",
// "C:/") for a file at the root.
std::string folderOf(const std::string& path);

// Who may use a file written whole: the user alone (a save), everyone the
// umask allows (an output), or that and run it (an executable output).
enum class Access { Private, Shared, Executable };
// A new empty hidden file with a short name in `folder` (the working folder
// when empty), for write-then-rename; empty, with errno set, when none can
// be made.
std::string temporaryFile(const std::string& folder);
// Gives the finished `temporary` its access, flushes it to the disk and
// renames it over `path`, so a crash at any moment leaves the old file or
// the new; the temporary is gone either way.
bool replaceFile(const std::string& temporary, const std::string& path, Access access);
// The `pieces` one after another as the file `path`, written whole through a
// temporary beside it and replaceFile (writefile.cpp, on every system).
bool writeFile(const std::string& path, const std::vector<const std::string*>& pieces,
               Access access);

// A read-only, seekable FILE* over bytes in memory that it owns: loaders keep
// their FILE* while archive entries live in memory. Unlike fmemopen, it takes
// empty files, and the bytes go with fclose. Null, with errno set, when it
// cannot be made.
FILE* memoryStream(std::string bytes);
}  // namespace platform
