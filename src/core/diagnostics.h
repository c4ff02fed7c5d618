// Development mode: the switches --debug, --strict and --quiet (and
// config.debug), and the registry behind them that reports each distinct Lua
// error and each missing name once and counts repeated errors. Without --debug
// nothing here prints, so a run logs exactly what it always did.
#pragma once

#include <string>

namespace diagnostics {
struct Mode {
  bool debug = false;   // swallowed errors, tracebacks, missing names, counts
  bool strict = false;  // the first Lua error ends the run with status 1;
                        // implies debug, so that the error is shown
  bool quiet = false;   // progress lines dropped (see setQuietLog in log.h)
};

void setMode(const Mode& mode);
const Mode& mode();

// A Lua error, under debug only. The first of each distinct `what` + message
// is logged as "Lua error in WHAT: MESSAGE" ("Lua error: MESSAGE" for a null
// `what`) followed by `traceback` when there is one; repeats are counted.
// Under strict the first error of the run sets `quit` and marks the run
// failed.
void scriptError(const char* what, const std::string& message, const std::string& traceback);

// Under debug, true the first time `key` is seen; false otherwise, and always
// false without debug. For checks that cost something and warn at most once.
bool firstTime(const std::string& key);
// A line that the default mode logs every time it happens: under debug it is
// logged only the first time `key` is seen.
void logRepeated(const std::string& key, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Warnings given once per `key` and run. The name says when:
// under debug only (a mistake the default mode keeps quiet about), otherwise
// nothing;
void warnOnceUnderDebug(const std::string& key, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// in every mode (input refused, such as a body Box2D must not be given).
void warnOnceAlways(const std::string& key, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Under debug, one line per distinct Lua error of the run with its count:
// "N times: Lua error in WHAT: MESSAGE". Nothing otherwise.
void reportCounts();
// Under strict, the first failure of the run (a Lua error, a shader pair that
// does not link) sets `quit`, marks the run failed and logs "Strict mode: this
// WHAT ends the run after the current frame (exit status 1)". Nothing
// otherwise, and nothing for later failures.
void endUnderStrict(const char* what);
// True once strict mode has seen a failure.
bool strictFailure();

// main.lua loaded under its own text is cited as `[string "..."]`; once this
// chunk id is known, logged errors and tracebacks cite it as "main.lua".
void setMainChunkId(const std::string& chunkId);

// Forgets every message, count, key, chunk id and the strict failure; the
// mode stays. For tests.
void reset();
}  // namespace diagnostics
