// The system's change notification for folders, one folder at a time: what
// happened to which name, read without blocking. host/filesystem.h builds
// watches of files, folders and trees on it.
#pragma once

#include <string>
#include <vector>

namespace platform {
enum class FolderChange {
  Written,      // a file written and closed, or made
  MovedIn,      // a file renamed or moved into the folder
  Gone,         // a file or folder deleted or moved away
  FolderAdded,  // a folder made or moved into the folder
};

struct FolderEvent {
  int folder;  // as watchFolder returned it
  std::string name;
  FolderChange change;
};

// Starts the notifier. False, with the system's reason, where it cannot start
// (a page has none: its files never change while it runs).
bool startWatching(std::string& problem);
// Watches the folder at `path` (UTF-8), not the folders below it, and returns
// its number; the same folder asked again gives the same number. -1, with the
// reason, when it cannot be watched.
int watchFolder(const std::string& path, std::string& problem);
// Appends the events seen since the last call, in order, without waiting.
void folderEvents(std::vector<FolderEvent>& events);
// Drops every folder and stops the notifier.
void stopWatching();
}  // namespace platform
