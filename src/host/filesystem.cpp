// The file watcher: the desktop stub by default, the platform's folder
// notification once enabled. Folders are watched rather than files, so that an
// editor that saves by writing a new file and renaming it over the old one is
// seen as a change of that name.
#include "host/filesystem.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "core/log.h"
#include "platform/watch.h"

namespace filesystem {
namespace {
namespace fs = std::filesystem;
using Callback = std::function<void(Change, std::string)>;

struct Watch {
  int folderNumber;    // the platform's number for `folder`
  std::string folder;  // the registered folder, or the file's folder
  std::string file;    // the one file watched; empty for the whole folder
  Callback callback;
  bool tree;           // a folder of a watchTree registration
};

struct Pending {
  size_t watch;
  std::string path;
  Change change;
};

bool watching = false;
std::vector<Watch> watches;

Change changeOf(platform::FolderChange change) {
  if (change == platform::FolderChange::Gone) return REMOVED;
  if (change == platform::FolderChange::MovedIn) return ADDED;
  return MODIFIED;
}

bool isEditorScratch(const std::string& name) {
  return name.empty() || name[0] == '.' || name.back() == '~';
}

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

// Paths are UTF-8 inside; the file system library takes them so everywhere.
fs::file_status statusOf(const std::string& path, bool followLinks, std::error_code& error) {
  fs::path at = fs::u8path(path);
  return followLinks ? fs::status(at, error) : fs::symlink_status(at, error);
}

// Watches `folder` and every folder below it (hidden ones and symbolic links
// left out) for one tree registration. With `found`, the files already there
// are reported as added: a folder moved in whole, or filled before its watch
// began, still reaches the callback. A folder that cannot be watched is logged.
bool addTree(const std::string& folder, const Callback& callback, std::vector<Pending>* found) {
  std::string problem;
  int number = platform::watchFolder(folder, problem);
  if (number < 0) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", folder.c_str(), problem.c_str());
    return false;
  }
  watches.push_back({number, folder, "", callback, true});
  size_t index = watches.size() - 1;
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator entry(fs::u8path(folder), error), end; !error && entry != end;
       entry.increment(error)) {
    std::string name = entry->path().filename().u8string();
    if (!isEditorScratch(name)) names.push_back(name);
  }
  for (const std::string& name : names) {
    std::string path = inFolder(folder, name);
    fs::file_status status = statusOf(path, false, error);
    if (error) continue;
    if (fs::is_directory(status))
      addTree(path, callback, found);
    else if (found)
      found->push_back({index, path, ADDED});
  }
  return true;
}

void collect(const platform::FolderEvent& event, std::vector<Pending>& pending,
             std::vector<std::pair<std::string, size_t>>& madeFolders) {
  const std::string& name = event.name;
  for (size_t w = 0; w < watches.size(); ++w) {
    const Watch& watch = watches[w];
    if (watch.folderNumber != event.folder) continue;
    if (event.change == platform::FolderChange::FolderAdded) {
      if (watch.tree && !isEditorScratch(name))
        madeFolders.push_back({inFolder(watch.folder, name), w});
      continue;
    }
    if (watch.file.empty() ? isEditorScratch(name) : name != watch.file) continue;
    std::string path = inFolder(watch.folder, name);
    Change change = changeOf(event.change);
    bool merged = false;
    for (Pending& earlier : pending)
      if (earlier.watch == w && earlier.path == path) {
        earlier.change = change;
        merged = true;
      }
    if (!merged) pending.push_back({w, path, change});
  }
}
}  // namespace

bool enableWatching() {
  if (watching) return true;
  std::string problem;
  watching = platform::startWatching(problem);
  if (!watching) DLOG(LogLevel::Error, "Cannot watch files: %s\n", problem.c_str());
  return watching;
}

void watch(std::string path, std::function<void(Change, std::string)> callback) {
  if (!watching) {
    DLOG(LogLevel::Info, "Watch not implemented on this platform\n");
    return;
  }
  std::error_code error;
  fs::file_status status = statusOf(path, true, error);
  if (error) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), error.message().c_str());
    return;
  }
  Watch entry{-1, path, "", std::move(callback), false};
  if (!fs::is_directory(status)) {
    size_t slash = path.rfind('/');
    entry.folder = slash == std::string::npos ? "." : path.substr(0, slash);
    entry.file = slash == std::string::npos ? path : path.substr(slash + 1);
  }
  std::string problem;
  entry.folderNumber = platform::watchFolder(entry.folder, problem);
  if (entry.folderNumber < 0) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), problem.c_str());
    return;
  }
  DLOG(LogLevel::Info, "Watching %s\n", path.c_str());
  watches.push_back(std::move(entry));
}

void watchTree(std::string path, std::function<void(Change, std::string)> callback) {
  if (!watching) {
    DLOG(LogLevel::Info, "Watch not implemented on this platform\n");
    return;
  }
  std::error_code error;
  fs::file_status status = statusOf(path, true, error);
  if (!error && !fs::is_directory(status)) error = std::make_error_code(std::errc::not_a_directory);
  if (error) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), error.message().c_str());
    return;
  }
  if (!addTree(path, callback, nullptr)) return;
  DLOG(LogLevel::Info, "Watching %s and its folders\n", path.c_str());
}

void poll() {
  if (!watching) return;
  std::vector<platform::FolderEvent> events;
  platform::folderEvents(events);
  std::vector<Pending> pending;
  std::vector<std::pair<std::string, size_t>> madeFolders;
  for (const platform::FolderEvent& event : events) collect(event, pending, madeFolders);
  for (const auto& made : madeFolders) {
    Callback callback = watches[made.second].callback;
    addTree(made.first, callback, &pending);
  }
  for (const Pending& change : pending) {
    // A copy, so that a callback that registers or drops watches cannot pull
    // itself out from under its own call.
    Callback callback = watches[change.watch].callback;
    callback(change.change, change.path);
  }
}

void stopWatching() {
  watches.clear();
  platform::stopWatching();
  watching = false;
}
}  // namespace filesystem
