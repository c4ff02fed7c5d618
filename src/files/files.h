// The file layer: every file of a game is read through here. The game is
// mounted as a folder (the working folder the host entered; paths go to the
// system unchanged, as they always have), a zip archive, or a zip archive
// appended to a file (a fused executable). Inside an archive, a relative path
// is normalised and looked up among the archive's entries; an absolute path
// (the framework's own files, a tool's output) still names a file on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace files {
// What a single file may cost in memory, checked against the entry's declared
// size before anything is inflated and again while inflating.
const size_t MAX_FILE_BYTES = 256u << 20;

// The working folder: the state before any mount, and after unmount.
void mountFolder();
// Mounts the zip archive at `path`, or the window of `length` bytes at `start`
// of that file when `length` is above 0. The game's root is the archive's root
// when main.lua is there, else the one top folder holding main.lua. False with
// `error` set (one line, no trailing newline) when the archive cannot be read
// or has no main.lua; the previous mount then stays.
bool mountArchive(const std::string& path, uint64_t start, uint64_t length, std::string& error);
void unmount();
bool archiveMounted();

// True for a regular file of the game (or on disk, for paths the folder mount
// or an absolute path reaches).
bool exists(const std::string& path);
// Why read() gave no bytes: the file could not be opened (missing, or not
// ours to open), a read failed part way, or it holds more than the cap.
enum class ReadFailure { None, CannotOpen, CannotRead, TooLarge };
// Every file read whole goes through here, all or nothing: `bytes` is the
// entire file, or empty with false, `error` saying why (strerror or the
// archive's reason) and `failure` (when given) which step failed.
bool read(const std::string& path, std::string& bytes, std::string& error,
          size_t cap = MAX_FILE_BYTES, ReadFailure* failure = nullptr);
// The names in the folder `path` (files and folders, without "." and ".."),
// sorted; empty when there is no such folder.
std::vector<std::string> list(const std::string& path);
// A stream over the file. Archive entries open only for reading ("r", "rb"),
// are inflated to memory and can seek; writing them fails with EROFS. Null,
// with errno set, when the file cannot be opened.
FILE* open(const std::string& path, const char* mode);
}  // namespace files
