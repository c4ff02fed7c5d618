// Windows's own services: folder change notification through
// ReadDirectoryChangesW, one overlapped read per folder polled each frame
// without waiting. A Windows bundle takes the runtime folder's DLL list, so
// no loaded library is listed here.
#include <windows.h>

#include <memory>

#include "platform/libraries.h"
#include "platform/watch.h"

namespace platform {
namespace {
// Names made, renamed or deleted, and files written.
const DWORD FILTER = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                     FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
// Windows reports a write while it happens, not when the file is closed: a
// name is passed on once it has been quiet this long, so a reload reads the
// whole file.
const ULONGLONG QUIET_MS = 100;

struct Folder {
  std::wstring path;  // full, '\' separated, long ones prefixed
  HANDLE handle = INVALID_HANDLE_VALUE;
  OVERLAPPED overlapped = {};
  std::vector<DWORD> buffer = std::vector<DWORD>(8192);  // DWORD-aligned, as the call needs
};

struct Held {
  FolderEvent event;
  ULONGLONG last;  // when the name last changed
};

bool started = false;
std::vector<std::unique_ptr<Folder>> folders;  // a folder's number is its index
std::vector<Held> held;

std::wstring wide(const std::string& text) {
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0);
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
  return result;
}

std::string utf8(const wchar_t* text, int length) {
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &result[0], bytes, nullptr, nullptr);
  return result;
}

// The system's text for `error`, on one line.
std::string message(DWORD error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = length ? utf8(text, static_cast<int>(length)) : "";
  LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.'))
    result.pop_back();
  return result.empty() ? "error " + std::to_string(error) : result;
}

bool startRead(Folder& folder) {
  ResetEvent(folder.overlapped.hEvent);
  return ReadDirectoryChangesW(folder.handle, folder.buffer.data(),
                               static_cast<DWORD>(folder.buffer.size() * sizeof(DWORD)), FALSE,
                               FILTER, nullptr, &folder.overlapped, nullptr) != 0;
}

void close(Folder& folder) {
  if (folder.handle != INVALID_HANDLE_VALUE) {
    // The read must end before its buffer goes.
    DWORD bytes = 0;
    if (CancelIoEx(folder.handle, &folder.overlapped) || GetLastError() != ERROR_NOT_FOUND)
      GetOverlappedResult(folder.handle, &folder.overlapped, &bytes, TRUE);
    CloseHandle(folder.handle);
    folder.handle = INVALID_HANDLE_VALUE;
  }
  if (folder.overlapped.hEvent) CloseHandle(folder.overlapped.hEvent);
  folder.overlapped.hEvent = nullptr;
}

// A real folder (not a link to one) at `path`.
bool isFolder(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void hold(int number, std::string name, FolderChange change) {
  ULONGLONG now = GetTickCount64();
  for (Held& earlier : held)
    if (earlier.event.folder == number && earlier.event.name == name) {
      earlier.event.change = change;
      earlier.last = now;
      return;
    }
  held.push_back({{number, std::move(name), change}, now});
}

// The changes one completed read brought.
void readChanges(int number, const Folder& folder, DWORD bytes) {
  const char* at = reinterpret_cast<const char*>(folder.buffer.data());
  const char* end = at + bytes;
  for (;;) {
    const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
    std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
    bool isFolderNow = isFolder(folder.path + L"\\" + name);
    bool known = true;
    FolderChange change = FolderChange::Written;
    switch (info->Action) {
      case FILE_ACTION_ADDED:
        change = isFolderNow ? FolderChange::FolderAdded : FolderChange::Written;
        break;
      case FILE_ACTION_RENAMED_NEW_NAME:
        change = isFolderNow ? FolderChange::FolderAdded : FolderChange::MovedIn;
        break;
      case FILE_ACTION_REMOVED:
      case FILE_ACTION_RENAMED_OLD_NAME:
        change = FolderChange::Gone;
        break;
      case FILE_ACTION_MODIFIED:
        known = !isFolderNow;  // a folder's own times changing
        break;
      default:
        known = false;
    }
    if (known) hold(number, utf8(name.data(), static_cast<int>(name.size())), change);
    if (info->NextEntryOffset == 0 || info->NextEntryOffset >= static_cast<DWORD>(end - at)) break;
    at += info->NextEntryOffset;
  }
}
}  // namespace

bool startWatching(std::string&) {
  started = true;
  return true;
}

int watchFolder(const std::string& path, std::string& problem) {
  std::wstring given = wide(path);
  wchar_t full[MAX_PATH * 4];
  DWORD length = GetFullPathNameW(given.c_str(), MAX_PATH * 4, full, nullptr);
  if (length == 0 || length >= MAX_PATH * 4) {
    problem = message(length ? ERROR_FILENAME_EXCED_RANGE : GetLastError());
    return -1;
  }
  std::wstring normal(full, length);
  while (normal.size() > 3 && normal.back() == L'\\') normal.pop_back();
  // A long path opens only with the prefix that lifts MAX_PATH.
  if (normal.size() >= MAX_PATH - 12 && normal.compare(0, 2, L"\\\\") != 0)
    normal.insert(0, L"\\\\?\\");
  for (size_t number = 0; number < folders.size(); ++number)
    if (folders[number]->handle != INVALID_HANDLE_VALUE && folders[number]->path == normal)
      return static_cast<int>(number);
  auto folder = std::make_unique<Folder>();
  folder->path = normal;
  folder->handle = CreateFileW(normal.c_str(), FILE_LIST_DIRECTORY,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                               nullptr);
  DWORD error = folder->handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  if (!error && !(folder->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr)))
    error = GetLastError();
  if (!error && !startRead(*folder)) error = GetLastError();
  if (error) {
    problem = message(error);
    close(*folder);
    return -1;
  }
  folders.push_back(std::move(folder));
  return static_cast<int>(folders.size() - 1);
}

void folderEvents(std::vector<FolderEvent>& events) {
  if (!started) return;
  for (size_t number = 0; number < folders.size(); ++number) {
    Folder& folder = *folders[number];
    if (folder.handle == INVALID_HANDLE_VALUE) continue;
    DWORD bytes = 0;
    if (GetOverlappedResult(folder.handle, &folder.overlapped, &bytes, FALSE)) {
      // No bytes: more changed than the buffer held; those are lost.
      if (bytes > 0) readChanges(static_cast<int>(number), folder, bytes);
    } else if (GetLastError() == ERROR_IO_INCOMPLETE) {
      continue;
    }
    // A folder that was deleted or cannot be read again stops reporting.
    if (!startRead(folder)) close(folder);
  }
  ULONGLONG now = GetTickCount64();
  std::vector<Held> waiting;
  for (Held& change : held)
    if (now - change.last >= QUIET_MS)
      events.push_back(std::move(change.event));
    else
      waiting.push_back(std::move(change));
  held.swap(waiting);
}

void stopWatching() {
  for (auto& folder : folders) close(*folder);
  folders.clear();
  held.clear();
  started = false;
}

std::map<std::string, std::string> loadedLibraries() { return {}; }

std::vector<std::string> executableNeeds() { return {}; }

std::vector<std::string> libraryNeeds(const std::string&) { return {}; }
}  // namespace platform
