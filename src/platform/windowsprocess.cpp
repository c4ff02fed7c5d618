// The process on Windows: arguments read again as UTF-8 from the wide
// command line; the log in binary mode (no CRLF), unbuffered (msvcrt has no
// line buffering); when standard output leads nowhere, as for a windowed
// program, on the console it was started from, else in a file in the user
// data folder.
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/windowstext.h"

namespace platform {
namespace {
// A GUI program has no handle, or one of unknown type; under Wine even a
// windowed program may hold the shell's standard output, which is kept.
bool leadsNowhere(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle == nullptr || handle == INVALID_HANDLE_VALUE ||
         GetFileType(handle) == FILE_TYPE_UNKNOWN;
}

std::string logPath() {
  std::string folder = userDataFolder(), program = executablePath();
  if (folder.empty() || !makeFolders(folder)) return "";
  std::string name = program.substr(program.rfind('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return folder + "/" + (name.empty() ? "tarnwick" : name) + ".log";
}

// Points the streams that lead nowhere at `file`. A program started without
// standard handles gets msvcrt streams whose descriptor is -2, which no
// freopen reopens: the file's descriptor is copied onto 1 and 2 and the
// streams are pointed at those. Both share one file position.
void redirect(FILE* file, bool out, bool error) {
  if (!file) return;
  if (out && _dup2(_fileno(file), 1) == 0) {
    stdout->_file = 1;
    clearerr(stdout);
  }
  if (error && _dup2(_fileno(file), 2) == 0) {
    stderr->_file = 2;
    clearerr(stderr);
  }
  fclose(file);
}

// Started from a console (cmd.exe, PowerShell), a windowed program gets none
// of its own: it writes to its parent's.
bool useParentConsole(bool out, bool error) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  redirect(_wfopen(L"CONOUT$", L"wb"), out, error);
  return true;
}

// Else GAME.log beside the saves, started afresh each run.
void sendToLog(bool out, bool error) {
  std::string path = logPath();
  if (!path.empty()) redirect(openFile(path, "wb"), out, error);
}

std::vector<std::string> arguments;
std::vector<char*> pointers;
}  // namespace

void startProcess(int& argc, char**& argv) {
  bool out = leadsNowhere(STD_OUTPUT_HANDLE), error = leadsNowhere(STD_ERROR_HANDLE);
  if ((out || error) && !useParentConsole(out, error)) sendToLog(out, error);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  setvbuf(stdout, nullptr, _IONBF, 0);

  int count = 0;
  wchar_t** wideArguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wideArguments) return;
  for (int i = 0; i < count; ++i)
    arguments.push_back(narrow(wideArguments[i], wcslen(wideArguments[i])));
  LocalFree(wideArguments);
  for (std::string& argument : arguments) pointers.push_back(&argument[0]);
  pointers.push_back(nullptr);
  argc = count;
  argv = pointers.data();
}

// The system's allocator needs no tuning.
void keepFreedMemory() {}
}  // namespace platform
