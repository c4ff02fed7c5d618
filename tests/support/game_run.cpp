// The executable-level test harness: temporary game folders, child processes.
#include "support/game_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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
  std::string dir = (std::filesystem::temp_directory_path() / "tarnwick-run-XXXXXX").string();
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
  GameRun run;
  int status = 0;
  waitpid(child, &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = readWhole(outPath);
  run.err = readWhole(errPath);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return run;
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

int countLines(const std::string& log, const std::string& line) {
  int count = 0;
  for (const std::string& each : splitLines(log))
    if (each == line) ++count;
  return count;
}
}  // namespace testsupport
