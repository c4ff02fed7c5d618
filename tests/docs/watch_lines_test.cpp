// What --watch logs for saved files is what the pages say it logs: every line a
// shader, main.lua and script reload gives matches a message the errors page
// quotes, and a broken main.lua's line is the one the developing page shows
// for a run without --debug.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "docs/source_files.h"
#include "support/game_run.h"

using namespace testsupport;

using docstest::readSource;

namespace {
const int STEP_SECONDS = 60;

// The messages quoted in `text`, as code or as lines of code blocks, as
// patterns: NAME, PATH, VS, FS, EXT, REASON, LINE, MESSAGE and "..." stand
// for any text.
std::vector<std::regex> quotedMessages(const std::string& text) {
  static const std::regex code("`([^`]+)`");
  static const std::regex special("[.^$|()\\[\\]{}*+?\\\\]");
  static const std::regex placeholder(
      "\\\\\\.\\\\\\.\\\\\\.|\\b(NAME|PATH|VS|FS|EXT|REASON|LINE|MESSAGE)\\b");
  std::vector<std::string> quoted;
  std::istringstream lines(text);
  bool fenced = false;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("```", 0) == 0) {
      fenced = !fenced;
    } else if (fenced) {
      quoted.push_back(line);
    } else {
      for (std::sregex_iterator at(line.begin(), line.end(), code), end; at != end; ++at)
        quoted.push_back((*at)[1]);
    }
  }
  std::vector<std::regex> patterns;
  for (const std::string& message : quoted)
    patterns.emplace_back(
        std::regex_replace(std::regex_replace(message, special, "\\$&"), placeholder, ".*"));
  return patterns;
}

bool matchesOne(const std::string& line, const std::vector<std::regex>& patterns) {
  for (const std::regex& pattern : patterns)
    if (std::regex_match(line, pattern)) return true;
  return false;
}

// The row of a page's table whose first cell starts with `start`.
std::string rowStarting(const std::string& page, const std::string& start) {
  size_t at = page.find("\n| " + start);
  return at == std::string::npos ? "" : page.substr(at + 1, page.find('\n', at + 1) - at - 1);
}
}  // namespace

TEST(WatchLines, ReloadsLogTheLinesThePagesShow) {
  GameFolder game;
  // The first line is the developing page's example, which its message cites.
  const std::string first = "config = { width = 640, height = 360 }\n";
  game.writeMain(first + "world = { enableCulling = false, camera = {}, { vs = 'p', fs = 'p',\n"
                         "  uniforms = { color = { 1, 1, 1, 1 } },\n"
                         "  vertices = { -8, -8, 0, 8, -8, 0, 8, 8, 0 } } }\n"
                         "function onKeyboardEvent() end\n");
  const std::string fragment = readSource("assets/shaders/gl210/p.fs");
  game.write("assets/shaders/gl210/p.vs", readSource("assets/shaders/gl210/p.vs"));
  game.write("assets/shaders/gl210/p.fs", fragment);
  game.write("assets/scripts/helper.lua", "helper = 1\n");

  RunningGame run(game, {"--windowed", "--watch", "--frames", "1000000"});
  ASSERT_TRUE(run.waitForLines("Compiling shader assets/shaders/gl210/p.fs", 1, STEP_SECONDS))
      << run.log();
  size_t before = run.log().size();
  game.write("assets/shaders/gl210/p.fs", fragment + "\n");
  ASSERT_TRUE(run.waitForLines("Compiling shader assets/shaders/gl210/p.fs", 2, STEP_SECONDS))
      << run.log();
  ASSERT_TRUE(run.waitForLines("Shader created", 4, STEP_SECONDS)) << run.log();
  game.writeMain(first + "world = {\n");
  ASSERT_TRUE(run.waitForLines("Lua error", 1, STEP_SECONDS)) << run.log();
  game.write("assets/scripts/helper.lua", "helper = = 1\n");
  ASSERT_TRUE(run.waitForLines("Lua error", 2, STEP_SECONDS)) << run.log();
  std::string log = run.log().substr(before);
  game.writeMain("app.quit()\n");  // ends the run at the next reload
  EXPECT_EQ(run.finish(STEP_SECONDS).exitStatus, 0);

  std::vector<std::regex> errorsPage = quotedMessages(readSource("docs/errors.md"));
  std::string developing = readSource("docs/developing.md");
  std::vector<std::regex> mainScriptRow =
      quotedMessages(rowStarting(developing, "a syntax error in `main.lua`"));
  ASSERT_FALSE(mainScriptRow.empty());
  std::istringstream lines(log);
  int luaErrors = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    EXPECT_TRUE(matchesOne(line, errorsPage)) << "docs/errors.md does not show: " << line;
    if (line.rfind("Lua error", 0) == 0 && luaErrors++ == 0) {
      EXPECT_TRUE(matchesOne(line, mainScriptRow))
          << "docs/developing.md's row for a broken main.lua does not show: " << line;
    }
  }
  EXPECT_EQ(luaErrors, 2) << log;
}
