// The executable-level test harness: temporary game folders, child processes.
#include "support/game_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {
namespace {
std::string readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Starts tarnwick with `args` in `workingDir`, its output going to the files
// "out" and "err" of the new temporary folder `dir`.
pid_t spawn(const std::vector<std::string>& args, const std::string& workingDir, std::string& dir) {
  dir = (std::filesystem::temp_directory_path() / "tarnwick-run-XXXXXX").string();
  if (!mkdtemp(dir.data())) throw std::runtime_error("cannot create a temporary folder");
  std::string outPath = dir + "/out", errPath = dir + "/err";
  pid_t child = fork();
  if (child == 0) {
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    if (chdir(workingDir.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    std::string exe = TARNWICK_EXECUTABLE;
    argv.push_back(exe.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  return child;
}

// The finished run's status and output; removes `dir`.
GameRun collect(int status, const std::string& dir) {
  GameRun run;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = readWhole(dir + "/out");
  run.err = readWhole(dir + "/err");
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return run;
}
}  // namespace

GameFolder::GameFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-game-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
}

GameFolder::~GameFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void GameFolder::write(const std::string& relative, const std::string& content) const {
  std::filesystem::path target = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary);
  out << content;
}

GameRun runTarnwick(const std::vector<std::string>& args, const std::string& workingDir) {
  std::string dir;
  pid_t child = spawn(args, workingDir, dir);
  int status = 0;
  waitpid(child, &status, 0);
  return collect(status, dir);
}

RunningGame::RunningGame(const GameFolder& game, const std::vector<std::string>& args) {
  std::vector<std::string> all = args;
  all.push_back(game.path());
  child_ = spawn(all, ".", dir_);
}

RunningGame::~RunningGame() {
  if (child_ > 0) finish(0);
}

bool RunningGame::waitForLines(const std::string& prefix, int count, int seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    // Looked at before the log is read, so that lines written just before the
    // end are still counted.
    siginfo_t ended = {};
    bool over = waitid(P_PID, static_cast<id_t>(child_), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
                ended.si_pid != 0;
    if (countLinesStartingWith(log(), prefix) >= count) return true;
    if (over || std::chrono::steady_clock::now() >= deadline) return false;
    usleep(50 * 1000);
  }
}

std::string RunningGame::log() const { return readWhole(dir_ + "/out"); }

GameRun RunningGame::finish(int seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (waitpid(child_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(child_, SIGKILL);
      waitpid(child_, &status, 0);
      break;
    }
    usleep(50 * 1000);
  }
  child_ = -1;
  return collect(status, dir_);
}

GameRun runGame(const GameFolder& game, const std::vector<std::string>& args) {
  std::vector<std::string> all = args;
  all.push_back(game.path());
  return runTarnwick(all);
}

GameRun runFrames(const GameFolder& game, int frames, bool screenshot) {
  std::vector<std::string> args = {"--windowed", "--frames", std::to_string(frames), "--fixed-dt",
                                   "16"};
  if (screenshot) {
    args.push_back("--screenshot");
    args.push_back(game.file("shot.png"));
  }
  return runGame(game, args);
}

bool linesInOrder(const std::string& log, const std::vector<std::string>& lines) {
  size_t next = 0;
  for (const std::string& line : splitLines(log))
    if (next < lines.size() && line == lines[next]) ++next;
  return next == lines.size();
}

int countLinesStartingWith(const std::string& log, const std::string& prefix) {
  int count = 0;
  for (const std::string& each : splitLines(log))
    if (each.compare(0, prefix.size(), prefix) == 0) ++count;
  return count;
}

int countLines(const std::string& log, const std::string& line) {
  int count = 0;
  for (const std::string& each : splitLines(log))
    if (each == line) ++count;
  return count;
}
}  // namespace testsupport
