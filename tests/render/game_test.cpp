// The renderer's start-up in the real executable: where the diagnostic
// program's shaders come from.
#include <gtest/gtest.h>

#include "support/game_run.h"

using testsupport::GameFolder;
using testsupport::linesInOrder;
using testsupport::runFrames;

namespace {
const std::string executableDir = TARNWICK_EXECUTABLE_DIR;
const char* const MAIN = "config = { width = 64, height = 48 }\nworld = {}\n";
}

TEST(RendererStartUp, UsesTheGamesOwnShadersElseTheFrameworksBesideTheExecutable) {
  GameFolder plain;
  plain.writeMain(MAIN);
  testsupport::GameRun run = runFrames(plain, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  // The framework's copies: absolute paths beside the executable.
  EXPECT_TRUE(linesInOrder(
      run.out, {"Compiling shader " + executableDir + "/shaders/gl210/simple.vs",
                "Compiling shader " + executableDir + "/shaders/gl210/simple.fs"}))
      << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"Init graphics", "Shader created", "Load assets"}));

  GameFolder own;
  own.writeMain(MAIN);
  own.write("assets/shaders/gl210/simple.vs",
            "#version 120\nattribute vec3 in_position;\n"
            "void main() { gl_Position = vec4(in_position, 1.0); }\n");
  run = runFrames(own, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"Init graphics",
                                     "Compiling shader assets/shaders/gl210/simple.vs",
                                     "Compiling shader " + executableDir +
                                         "/shaders/gl210/simple.fs"}))
      << run.out;
}
