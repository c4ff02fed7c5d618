// The editor definitions cover what the executable exposes: a script walks the
// module tables inside the real tarnwick and names anything types/tarnwick.lua
// does not annotate.
#include <gtest/gtest.h>

#include <sstream>

#include "docs/source_files.h"
#include "support/game_run.h"

using namespace testsupport;

using docstest::readSource;

namespace {
std::string linesStartingWith(const std::string& log, const std::string& prefix) {
  std::istringstream in(log);
  std::string line, found;
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) found += line + "\n";
  return found;
}
}  // namespace

TEST(Types, EveryExposedModuleMemberIsAnnotated) {
  std::string walker = readSource("tests/docs/annotations.lua");
  ASSERT_FALSE(walker.empty());
  GameFolder game;
  game.writeMain("TYPES_FILE = [[" TARNWICK_SOURCE_DIR "/types/tarnwick.lua]]\n" + walker);
  GameRun run = runFrames(game, 1);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("Lua error"), std::string::npos) << run.out;
  EXPECT_EQ(linesStartingWith(run.out, "Not annotated"), "")
      << "Regenerate with: cmake --build BUILD --target api-docs";
  EXPECT_EQ(linesStartingWith(run.out, "Annotated but not exposed"), "");
  // All nine modules were walked, with their functions, classes and variables.
  EXPECT_NE(run.out.find(" members of 10 modules"), std::string::npos) << run.out;
}
