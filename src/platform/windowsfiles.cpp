// The file system through Windows calls: UTF-8 paths become wide strings at
// each call, long ones get the \\?\ prefix, and results come back as UTF-8
// with '/' separators. Windows errors are told through errno.
#include <windows.h>
#include <shlobj.h>
#include <direct.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/files.h"
#include "platform/windowstext.h"

namespace platform {
namespace {
std::string slashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// The wide form of a path for the system's calls: backslashes, and past
// MAX_PATH (less a file name's room, as folders are limited so) the full
// path with the \\?\ prefix, which lifts the limit.
std::wstring osPath(const std::string& path) {
  std::wstring result = wide(path);
  for (wchar_t& c : result)
    if (c == L'/') c = L'\\';
  if (result.size() < MAX_PATH - 12 || result.compare(0, 4, L"\\\\?\\") == 0) return result;
  DWORD length = GetFullPathNameW(result.c_str(), 0, nullptr, nullptr);
  if (length == 0) return result;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(result.c_str(), length, &full[0], nullptr);
  full.resize(length);
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// errno for the last Windows error, for the callers' strerror.
void setErrno() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_WRITE_PROTECT:
      errno = EROFS;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      errno = ENOMEM;
      break;
    default:
      errno = EIO;
  }
}

// FlushFileBuffers needs a handle that may write.
bool syncFile(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    setErrno();
    return false;
  }
  bool ok = FlushFileBuffers(handle) != 0;
  if (!ok) setErrno();
  CloseHandle(handle);
  return ok;
}
}  // namespace

std::string executablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) return slashes(narrow(path.data(), length));
    path.resize(path.size() * 2);
  }
}

const char* executableSuffix() { return ".exe"; }

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return "";
  return slash == 0 || (slash == 2 && path[1] == ':') ? path.substr(0, slash + 1)
                                                       : path.substr(0, slash);
}

std::string userDataFolder() {
  wchar_t* folder = nullptr;
  std::string result;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK)
    result = slashes(narrow(folder, wcslen(folder))) + "/tarnwick";
  CoTaskMemFree(folder);
  return result;
}

bool isAbsolute(const std::string& path) {
  auto separator = [](char c) { return c == '/' || c == '\\'; };
  if (!path.empty() && separator(path[0])) return true;
  return path.size() >= 3 && path[1] == ':' && separator(path[2]) &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

FILE* openFile(const std::string& path, const char* mode) {
  return _wfopen(osPath(path).c_str(), wide(mode).c_str());
}

FileKind fileKind(const std::string& path) {
  DWORD attributes = GetFileAttributesW(osPath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    setErrno();
    return FileKind::None;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
  return attributes & FILE_ATTRIBUTE_DEVICE ? FileKind::Other : FileKind::Regular;
}

// _wfopen never opens a folder.
bool isFolder(FILE*) { return false; }

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((osPath(path) + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = narrow(entry.cFileName, wcslen(entry.cFileName));
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

// A folder on Windows is the user's unless shared on purpose: the user's
// profile folders already keep others out.
bool makeFolders(const std::string& path) {
  for (size_t slash = path.find_first_of("/\\", 1);; slash = path.find_first_of("/\\", slash + 1)) {
    std::string part = path.substr(0, slash);
    // "C:", "\\server" and "\\server\share" cannot be made; what matters is
    // that each folder ends up there.
    bool made = CreateDirectoryW(osPath(part).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS;
    if (!made && slash == std::string::npos) {
      setErrno();
      return fileKind(path) == FileKind::Folder;
    }
    if (slash == std::string::npos) return true;
  }
}

bool removeFile(const std::string& path) {
  if (DeleteFileW(osPath(path).c_str())) return true;
  setErrno();
  return false;
}

bool setWorkingFolder(const std::string& path) { return _wchdir(osPath(path).c_str()) == 0; }

std::string workingFolder() {
  wchar_t* path = _wgetcwd(nullptr, 0);
  if (!path) return "";
  std::string result = slashes(narrow(path, wcslen(path)));
  free(path);
  return result;
}

std::string temporaryFile(const std::string& folder) {
  static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  unsigned long long seed = static_cast<unsigned long long>(now.QuadPart) ^
                            (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = (folder.empty() ? "" : folder + "/") + ".tarnwick-";
    for (int i = 0; i < 6; ++i) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      temporary += LETTERS[(seed >> 33) % 36];
    }
    HANDLE handle = CreateFileW(osPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return temporary;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  setErrno();
  return "";
}

// Windows has no mode bits to give: every file may be run, and the user's
// folders keep others out.
bool replaceFile(const std::string& temporary, const std::string& path, Access) {
  std::wstring from = osPath(temporary);
  bool ok = syncFile(from);
  if (ok && !MoveFileExW(from.c_str(), osPath(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    setErrno();
    ok = false;
  }
  if (!ok) {
    int error = errno;
    DeleteFileW(from.c_str());
    errno = error;
  }
  return ok;
}

// Without fopencookie or fmemopen, the bytes go to a temporary file the
// system deletes when it is closed ("D"), kept in memory where it can ("T").
FILE* memoryStream(std::string bytes) {
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, L"tw", 0, name)) {
    setErrno();
    return nullptr;
  }
  FILE* file = _wfopen(name, L"w+bTD");
  if (!file) {
    int error = errno;
    DeleteFileW(name);
    errno = error;
    return nullptr;
  }
  if (fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fflush(file) != 0) {
    int error = errno;
    fclose(file);
    errno = error;
    return nullptr;
  }
  rewind(file);
  return file;
}
}  // namespace platform
