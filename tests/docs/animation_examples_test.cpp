// Every animation description the documentation shows converts: the README's
// and the pages' Lua blocks that return a table, and the demo's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_run.h"

using namespace testsupport;

namespace {
struct Example {
  std::string where;  // file:line of the block's first line
  std::string code;
};

// The ```lua blocks of a Markdown file whose code starts with `return {`: an
// animation description is a file that returns its curves.
void collectDescriptions(const std::filesystem::path& page, std::vector<Example>& out) {
  std::ifstream in(page);
  std::string line;
  int number = 0;
  bool inLua = false;
  Example block;
  while (std::getline(in, line)) {
    ++number;
    if (!inLua && line == "```lua") {
      inLua = true;
      block = {page.filename().string() + ":" + std::to_string(number + 1), ""};
    } else if (inLua && line.compare(0, 3, "```") == 0) {
      inLua = false;
      if (block.code.compare(0, 8, "return {") == 0) out.push_back(block);
    } else if (inLua) {
      block.code += line + "\n";
    }
  }
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

TEST(AnimationExamples, EveryDescriptionInTheDocsConverts) {
  const std::filesystem::path source = TARNWICK_SOURCE_DIR;
  std::vector<Example> examples;
  collectDescriptions(source / "README.md", examples);
  for (const auto& entry : std::filesystem::directory_iterator(source / "docs"))
    if (entry.path().extension() == ".md") collectDescriptions(entry.path(), examples);
  ASSERT_FALSE(examples.empty()) << "the README's example is no longer found";
  examples.push_back({"examples/demo/tools/gem_dance.lua",
                      readFile(source / "examples/demo/tools/gem_dance.lua")});

  GameFolder work;
  work.write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  for (const Example& example : examples) {
    work.write("anim.lua", example.code);
    GameRun run =
        runTarnwick({"--convert-model", "tri.obj", "out.mod", "--animation", "anim.lua"}, work.path());
    EXPECT_EQ(run.exitStatus, 0) << example.where << ": " << run.err;
    EXPECT_EQ(run.out.rfind("Wrote out.mod: 3 vertices, ", 0), 0u) << example.where << ": " << run.out;
  }
}
