// File-change notification: the seam for live reloading. By default the
// desktop platform watches nothing and only logs each registration; after
// enableWatching (--watch) registrations are real, through the platform's
// folder notification (platform/watch.h),
// and poll() delivers the changes between frames on the main thread.
#pragma once

#include <functional>
#include <string>

namespace filesystem {
enum Change { MODIFIED = 0, REMOVED = 1, ADDED = 2 };

// Registers interest in the files of the folder `path`, or in the one file
// `path`. The callback gets the change and the file's path (`path`/NAME for a
// folder). Before enableWatching: logs "Watch not implemented on this
// platform" and drops the callback. A path that cannot be watched is logged.
void watch(std::string path, std::function<void(Change, std::string)> callback);
// The same for the folder `path` and every folder below it, hidden ones and
// symbolic links left out, and each folder made below it later (whose files
// already there arrive as ADDED). Paths are `path`/SUB/NAME, or SUB/NAME for
// ".". Logs "Watching PATH and its folders" once.
void watchTree(std::string path, std::function<void(Change, std::string)> callback);
// Makes later registrations real. False (logged) where the platform cannot
// watch (a page).
bool enableWatching();
// Runs the callbacks of the changes seen since the last call, one call per
// changed file and watch (the last change wins), in the order first seen.
// Never blocks; does nothing when not watching. Names starting with "." or
// ending in "~" (editors' temporary and backup files) are left out of folders.
void poll();
// Drops every registration and closes the notifier; watch() logs the stub
// line again afterwards.
void stopWatching();
}  // namespace filesystem
