// The process on Windows: arguments read again as UTF-8 from the wide
// command line; the log in binary mode (no CRLF), unbuffered (msvcrt has no
// line buffering), and in a file in the user data folder when standard
// output leads nowhere, as for a program started without a console.
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

// GAME.log beside the saves, started afresh each run.
std::string logPath() {
  std::string folder = userDataFolder(), program = executablePath();
  if (folder.empty() || !makeFolders(folder)) return "";
  std::string name = program.substr(program.rfind('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return folder + "/" + (name.empty() ? "tarnwick" : name) + ".log";
}

void sendToLog(bool out, bool error) {
  if (!out && !error) return;
  std::string path = logPath();
  if (path.empty()) return;
  FILE* fresh = openFile(path, "wb");
  if (!fresh) return;
  fclose(fresh);
  // Both streams append, so neither writes over the other's lines.
  if (out) _wfreopen(wide(path).c_str(), L"ab", stdout);
  if (error) _wfreopen(wide(path).c_str(), L"ab", stderr);
}

std::vector<std::string> arguments;
std::vector<char*> pointers;
}  // namespace

void startProcess(int& argc, char**& argv) {
  sendToLog(leadsNowhere(STD_OUTPUT_HANDLE), leadsNowhere(STD_ERROR_HANDLE));
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
