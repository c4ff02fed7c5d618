// The file watcher: the desktop stub by default, inotify once enabled. Folders
// are watched rather than files, so that an editor that saves by writing a new
// file and renaming it over the old one is seen as a change of that name.
// (The inotify calls belong in src/platform; they are still here.)
#include "host/filesystem.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "core/log.h"

namespace filesystem {
namespace {
using Callback = std::function<void(Change, std::string)>;

// A file that was written and closed, moved in, deleted or moved away.
const uint32_t EVENTS = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM;
// A tree's folders also report folders made in them, which join the tree.
const uint32_t TREE_EVENTS = EVENTS | IN_CREATE;

struct Watch {
  int descriptor;
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

int notifier = -1;
std::vector<Watch> watches;

Change changeOf(uint32_t mask) {
  if (mask & (IN_DELETE | IN_MOVED_FROM)) return REMOVED;
  if (mask & IN_MOVED_TO) return ADDED;
  return MODIFIED;
}

bool isEditorScratch(const std::string& name) {
  return name.empty() || name[0] == '.' || name.back() == '~';
}

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder == "." ? name : folder + "/" + name;
}

#ifdef __EMSCRIPTEN__
// A page's files never change while it runs: there is nothing to watch.
int openNotifier() {
  errno = ENOSYS;
  return -1;
}
int addWatch(int, const char*, uint32_t) {
  errno = ENOSYS;
  return -1;
}
#else
int openNotifier() { return inotify_init1(IN_NONBLOCK | IN_CLOEXEC); }
// Added to what the folder already reports: a tree and a plain watch may
// share a folder.
int addWatch(int descriptor, const char* folder, uint32_t events) {
  return inotify_add_watch(descriptor, folder, events | IN_MASK_ADD);
}
#endif

// Watches `folder` and every folder below it (hidden ones and symbolic links
// left out) for one tree registration. With `found`, the files already there
// are reported as added: a folder moved in whole, or filled before its watch
// began, still reaches the callback. A folder that cannot be watched is logged.
bool addTree(const std::string& folder, const Callback& callback, std::vector<Pending>* found) {
  int descriptor = addWatch(notifier, folder.c_str(), TREE_EVENTS);
  if (descriptor < 0) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", folder.c_str(), strerror(errno));
    return false;
  }
  watches.push_back({descriptor, folder, "", callback, true});
  size_t index = watches.size() - 1;
  std::vector<std::string> names;
  if (DIR* listing = opendir(folder.c_str())) {
    while (dirent* entry = readdir(listing))
      if (!isEditorScratch(entry->d_name)) names.push_back(entry->d_name);
    closedir(listing);
  }
  for (const std::string& name : names) {
    std::string path = inFolder(folder, name);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) continue;
    if (S_ISDIR(info.st_mode))
      addTree(path, callback, found);
    else if (found)
      found->push_back({index, path, ADDED});
  }
  return true;
}

void collect(const inotify_event& event, std::vector<Pending>& pending,
             std::vector<std::pair<std::string, size_t>>& madeFolders) {
  if (event.len == 0) return;
  std::string name = event.name;
  bool folderMade = (event.mask & IN_ISDIR) && (event.mask & (IN_CREATE | IN_MOVED_TO));
  for (size_t w = 0; w < watches.size(); ++w) {
    const Watch& watch = watches[w];
    if (watch.descriptor != event.wd) continue;
    if (folderMade) {
      if (watch.tree && !isEditorScratch(name))
        madeFolders.push_back({inFolder(watch.folder, name), w});
      continue;
    }
    if (!(event.mask & EVENTS)) continue;
    if (watch.file.empty() ? isEditorScratch(name) : name != watch.file) continue;
    std::string path = inFolder(watch.folder, name);
    Change change = changeOf(event.mask);
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
  if (notifier >= 0) return true;
  notifier = openNotifier();
  if (notifier < 0) DLOG(LogLevel::Error, "Cannot watch files: %s\n", strerror(errno));
  return notifier >= 0;
}

void watch(std::string path, std::function<void(Change, std::string)> callback) {
  if (notifier < 0) {
    DLOG(LogLevel::Info, "Watch not implemented on this platform\n");
    return;
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), strerror(errno));
    return;
  }
  Watch entry{-1, path, "", std::move(callback), false};
  if (!S_ISDIR(info.st_mode)) {
    size_t slash = path.rfind('/');
    entry.folder = slash == std::string::npos ? "." : path.substr(0, slash);
    entry.file = slash == std::string::npos ? path : path.substr(slash + 1);
  }
  entry.descriptor = addWatch(notifier, entry.folder.c_str(), EVENTS);
  if (entry.descriptor < 0) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), strerror(errno));
    return;
  }
  DLOG(LogLevel::Info, "Watching %s\n", path.c_str());
  watches.push_back(std::move(entry));
}

void watchTree(std::string path, std::function<void(Change, std::string)> callback) {
  if (notifier < 0) {
    DLOG(LogLevel::Info, "Watch not implemented on this platform\n");
    return;
  }
  struct stat info;
  int problem = stat(path.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
  if (problem) {
    DLOG(LogLevel::Error, "Cannot watch %s: %s\n", path.c_str(), strerror(problem));
    return;
  }
  if (!addTree(path, callback, nullptr)) return;
  DLOG(LogLevel::Info, "Watching %s and its folders\n", path.c_str());
}

void poll() {
  if (notifier < 0) return;
  std::vector<Pending> pending;
  std::vector<std::pair<std::string, size_t>> madeFolders;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    ssize_t got = read(notifier, buffer, sizeof buffer);
    if (got <= 0) break;  // EAGAIN: nothing more for now
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      collect(*event, pending, madeFolders);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
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
  if (notifier >= 0) close(notifier);
  notifier = -1;
}
}  // namespace filesystem
