// A shader pair that does not link, through the real executable: one line names
// the two files and the driver's message, the draws that need the pair are
// skipped and the game runs on; --strict still ends the run with status 1.
#include <gtest/gtest.h>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
// Two squares on black: the left one drawn with the game's working shader
// "flat", the right one with `fragment`, which supplies the uniform glow.
std::string twoSquares(const char* fragment) {
  return std::string(
             "config = { width = 64, height = 48 }\n"
             "clearColor = { red = 0, green = 0, blue = 0 }\n"
             "local square = { -8, -8, 0, 8, -8, 0, 8, 8, 0, -8, -8, 0, 8, 8, 0, -8, 8, 0 }\n"
             "world = { enableCulling = false, camera = {},\n"
             "  { x = -16, vs = 'p', fs = 'flat', vertices = square },\n"
             "  { x = 16, vs = 'p', fs = '") +
         fragment + "', vertices = square, uniforms = { glow = 1 } } }\n";
}

void writeShaders(const GameFolder& game) {
  game.write("assets/shaders/gl210/flat.fs",
             "#version 120\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
  game.write("assets/shaders/gl210/post.fs",
             "#version 120\nuniform float glow;\n"
             "void main() { gl_FragColor = vec4(nonsense * glow); }\n");
}

std::vector<std::string> args(const GameFolder& game, const char* mode) {
  return {mode, "--windowed", "--frames", "4", "--fixed-dt", "16", game.path()};
}

// The log's lines that contain `text`.
int linesContaining(const std::string& log, const std::string& text) {
  int count = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
  return count;
}

const char* const POST_FAILS = " assets/shaders/gl210/post.fs does not link, its draws are skipped: ";
}  // namespace

TEST(ShaderFailure, ABrokenPairIsLoggedOnceItsDrawsAreSkippedAndTheGameRunsOn) {
  GameFolder game;
  game.writeMain(twoSquares("post"));
  writeShaders(game);
  GameRun run = runFrames(game, 4, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(countLinesStartingWith(run.out, "Shader pair "), 1) << run.out;
  EXPECT_EQ(linesContaining(run.out, POST_FAILS), 1) << run.out;
  size_t line = run.out.find(POST_FAILS);
  ASSERT_NE(line, std::string::npos);
  std::string message = run.out.substr(line, run.out.find('\n', line) - line);
  EXPECT_NE(message.find("nonsense"), std::string::npos) << "the driver's message: " << message;
  // The existing lines stay: the compile log and "Shader created".
  EXPECT_TRUE(linesInOrder(run.out, {"Compiling shader assets/shaders/gl210/post.fs",
                                     "Shader created"}))
      << run.out;
  Picture shot = readPicture(game.file("shot.png"));
  EXPECT_TRUE(near(shot.at(16, 24), {0, 255, 0, 255})) << "the working pair draws";
  EXPECT_TRUE(near(shot.at(48, 24), {0, 0, 0, 255})) << "the broken pair draws nothing";

  GameRun quiet = runTarnwick(args(game, "--quiet"));
  EXPECT_EQ(quiet.exitStatus, 0) << quiet.out;
  EXPECT_EQ(linesContaining(quiet.out, POST_FAILS), 1) << quiet.out;

  // A failed pair uses no uniform, but that is not the node's mistake.
  GameRun debug = runTarnwick(args(game, "--debug"));
  EXPECT_EQ(debug.exitStatus, 0) << debug.out;
  EXPECT_EQ(linesContaining(debug.out, POST_FAILS), 1) << debug.out;
  EXPECT_EQ(linesContaining(debug.out, "does not use the uniform"), 0) << debug.out;

  GameRun strict = runTarnwick(args(game, "--strict"));
  EXPECT_EQ(strict.exitStatus, 1) << strict.out;
  EXPECT_TRUE(linesInOrder(strict.out, {"Strict mode: this shader pair that does not link ends "
                                        "the run after the current frame (exit status 1)",
                                        "SDLquit"}))
      << strict.out;
}

TEST(ShaderFailure, AMissingShaderFileFailsThePairTheSameWay) {
  GameFolder game;
  game.writeMain(twoSquares("absent"));
  writeShaders(game);
  GameRun run = runFrames(game, 4, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(countLines(run.out, "Failed to open shader assets/shaders/gl210/absent.fs"), 1)
      << run.out;
  EXPECT_EQ(linesContaining(run.out, " assets/shaders/gl210/absent.fs does not link, its draws are "
                                     "skipped: assets/shaders/gl210/absent.fs cannot be read\n"),
            1)
      << run.out;
  Picture shot = readPicture(game.file("shot.png"));
  EXPECT_TRUE(near(shot.at(16, 24), {0, 255, 0, 255}));
  EXPECT_TRUE(near(shot.at(48, 24), {0, 0, 0, 255}));
}
