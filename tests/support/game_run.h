// Running the real tarnwick executable on a game folder written into a
// temporary directory, and reading back what it produced.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A temporary game folder, removed again when the object goes.
class GameFolder {
 public:
  GameFolder();
  ~GameFolder();
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& relative) const { return path_ + "/" + relative; }
  // Writes `content` to a file below the folder, creating folders as needed.
  void write(const std::string& relative, const std::string& content) const;
  void writeMain(const std::string& script) const { write("main.lua", script); }

 private:
  std::string path_;
};

struct GameRun {
  int exitStatus = -1;  // the process's exit status; 128 + N when killed by signal N
  std::string out;      // standard output: the log
  std::string err;      // standard error
};

// tarnwick running in the background on a game folder, for tests that change
// the game's files while it runs. A run still going at destruction is killed.
class RunningGame {
 public:
  RunningGame(const GameFolder& game, const std::vector<std::string>& args);
  ~RunningGame();
  RunningGame(const RunningGame&) = delete;
  RunningGame& operator=(const RunningGame&) = delete;

  // Waits until the log holds `count` lines that start with `prefix`; false
  // when the run ends or `seconds` pass first.
  bool waitForLines(const std::string& prefix, int count, int seconds);
  // The log so far.
  std::string log() const;
  // Waits for the end of the run, killing it after `seconds`.
  GameRun finish(int seconds);

 private:
  std::string dir_;
  int child_ = -1;
};

// Runs tarnwick with `args` followed by the folder, waits for it to end.
GameRun runGame(const GameFolder& game, const std::vector<std::string>& args);
// Runs tarnwick with exactly `args` (no folder added) in `workingDir`.
GameRun runTarnwick(const std::vector<std::string>& args, const std::string& workingDir = ".");

// The usual deterministic windowed run: --windowed --frames N --fixed-dt 16,
// plus a screenshot to the folder's shot.png when `screenshot` is set.
GameRun runFrames(const GameFolder& game, int frames, bool screenshot = false);

// True when every line appears in `log` in the given order (each a full line).
bool linesInOrder(const std::string& log, const std::vector<std::string>& lines);
// Number of times the full line occurs in `log`.
int countLines(const std::string& log, const std::string& line);
// Number of lines of `log` that start with `prefix`.
int countLinesStartingWith(const std::string& log, const std::string& prefix);

}  // namespace testsupport
