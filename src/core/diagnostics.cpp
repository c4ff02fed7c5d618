// The development-mode registry: which errors and warnings were seen, how often,
// and whether strict mode has ended the run.
#include "core/diagnostics.h"

#include <cstdarg>
#include <map>
#include <set>
#include <vector>

#include "core/log.h"
#include "core/scriptcall.h"
#include "core/runstate.h"

namespace diagnostics {
namespace {
Mode current;
// Each distinct error line once, in the order first seen, with its count.
std::vector<std::pair<std::string, int>> errors;
std::map<std::string, size_t> errorIndex;
std::set<std::string> keysSeen;
std::set<std::string> alwaysSaid;  // warnOnceAlways's keys, in every mode
std::string mainChunkId;
bool failed = false;

const char* const MAIN_SCRIPT = "main.lua";

std::string citingMainScript(std::string text) {
  if (mainChunkId.empty()) return text;
  for (size_t at = text.find(mainChunkId); at != std::string::npos;
       at = text.find(mainChunkId, at + 1))
    text.replace(at, mainChunkId.size(), MAIN_SCRIPT);
  return text;
}
}  // namespace

void setMode(const Mode& mode) {
  current = mode;
  current.debug = mode.debug || mode.strict;
  setQuietLog(mode.quiet);
}

const Mode& mode() { return current; }

void scriptError(const char* what, const std::string& message, const std::string& traceback) {
  if (!current.debug) return;
  std::string line = std::string("Lua error") + (what ? std::string(" in ") + what : "") + ": " +
                     citingMainScript(message);
  auto found = errorIndex.find(line);
  if (found != errorIndex.end()) {
    ++errors[found->second].second;
  } else {
    errorIndex[line] = errors.size();
    errors.emplace_back(line, 1);
    std::string trace = traceback.empty() ? "" : citingMainScript(traceback) + "\n";
    script::reportLuaError(line + "\n" + trace);
  }
  endUnderStrict("Lua error");
}

void endUnderStrict(const char* what) {
  if (!current.strict || failed) return;
  failed = true;
  quit = 1;
  DLOG(LogLevel::Error,
       "Strict mode: this %s ends the run after the current frame (exit status 1)\n", what);
}

bool firstTime(const std::string& key) { return current.debug && keysSeen.insert(key).second; }

void logRepeated(const std::string& key, const char* format, ...) {
  if (current.debug && !firstTime(key)) return;
  va_list args;
  va_start(args, format);
  VDLOG(LogLevel::Warning, format, args);
  va_end(args);
}

void warnOnceUnderDebug(const std::string& key, const char* format, ...) {
  if (!firstTime(key)) return;
  va_list args;
  va_start(args, format);
  VDLOG(LogLevel::Warning, format, args);
  va_end(args);
}

void warnOnceAlways(const std::string& key, const char* format, ...) {
  if (!alwaysSaid.insert(key).second) return;
  va_list args;
  va_start(args, format);
  VDLOG(LogLevel::Warning, format, args);
  va_end(args);
}

void reportCounts() {
  if (!current.debug) return;
  for (const auto& error : errors)
    DLOG(LogLevel::Error, "%d %s: %s\n", error.second, error.second == 1 ? "time" : "times",
         error.first.c_str());
}

bool strictFailure() { return failed; }

void setMainChunkId(const std::string& chunkId) { mainChunkId = chunkId; }

void reset() {
  errors.clear();
  errorIndex.clear();
  keysSeen.clear();
  alwaysSaid.clear();
  mainChunkId.clear();
  failed = false;
}
}  // namespace diagnostics
