// DLOG: the one diagnostic channel. Formats like printf and writes the result to
// standard output unchanged: no prefix, no time stamp, no line break of its own.
//
// Every line has a level. Levels only filter: they add nothing to a line.
//
// | level   | use it for                                               | --quiet |
// |---------|----------------------------------------------------------|---------|
// | Error   | something asked for did not happen: a Lua error, a file  | kept    |
// |         | that cannot be read or decoded, a fatal GL failure       |         |
// | Warning | the run goes on with less or with a stand-in: a name     | kept    |
// |         | that finds nothing, a value refused or cut, a part left  |         |
// |         | out; also the game's own text (log.DLOG)                 |         |
// | Info    | progress: start-up and shutdown steps, the machine's     | dropped |
// |         | description, shader compilation, folder scans, assets    |         |
// |         | created, reloads                                         |         |
// | Debug   | development detail: which watch fired, what a reload     | dropped |
// |         | looked at                                                |         |
//
// Under --quiet, empty lines are dropped too, whatever their level.
#pragma once

#include <cstdarg>

enum class LogLevel { Error, Warning, Info, Debug };

void DLOG(LogLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The same as DLOG(LogLevel::Warning, ...): a line the author must see.
void DLOG(const char* format, ...) __attribute__((format(printf, 1, 2)));
// DLOG with its arguments as a va_list, for callers that pass theirs on.
void VDLOG(LogLevel level, const char* format, va_list args) __attribute__((format(printf, 2, 0)));

// Under quiet, Info and Debug lines and empty lines are dropped.
void setQuietLog(bool quiet);
