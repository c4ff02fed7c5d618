// --watch through the real executable: shader, main.lua and module edits saved
// while the game runs change what it does; broken edits keep it running. Each step
// waits for the log line that shows the game has taken the previous one, so
// the test does not depend on how fast the machine is.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const int STEP_SECONDS = 90;

// A centred square drawn with the game's own fragment shader "flat", on a
// clear colour; the first version quits by itself after four minutes, so a
// failing test cannot leave it running.
std::string mainScript(const char* clearColour, const char* rest) {
  return std::string("config = { width = 64, height = 48 }\n") +
         "clearColor = " + clearColour + "\n" +
         "world = { enableCulling = false, camera = {}, { vs = 'p', fs = 'flat',\n"
         "  vertices = { -8, -8, 0, 8, -8, 0, 8, 8, 0, -8, -8, 0, 8, 8, 0, -8, 8, 0 } } }\n" + rest;
}

std::string flatShader(const char* colour) {
  return std::string("#version 120\nvoid main() { gl_FragColor = vec4(") + colour + "); }\n";
}

// Saves the way many editors do: a new file renamed over the old one.
void saveByRename(const GameFolder& game, const std::string& relative, const std::string& text) {
  game.write(relative + ".new", text);
  ASSERT_EQ(std::rename(game.file(relative + ".new").c_str(), game.file(relative).c_str()), 0);
}
}  // namespace

TEST(LiveReload, ShaderAndMainScriptEditsChangeTheNextFramesAndBrokenEditsKeepTheGame) {
  GameFolder game;
  game.writeMain(mainScript("{ red = 1, green = 0, blue = 0 }",
                            "local started, drawn = os.time(), 0\n"
                            "function update()\n"
                            "  -- the square has been drawn, so its program exists\n"
                            "  drawn = drawn + 1\n"
                            "  if drawn == 3 then print('running') end\n"
                            "  if os.time() - started > 240 then app.quit() end\n"
                            "end\n"));
  game.write("assets/shaders/gl210/flat.fs", flatShader("0.0, 0.0, 1.0, 1.0"));
  RunningGame run(game, {"--windowed", "--watch", "--debug", "--frames", "1000000", "--screenshot",
                         game.file("shot.png")});
  ASSERT_TRUE(run.waitForLines("running", 1, STEP_SECONDS)) << run.log();

  saveByRename(game, "assets/shaders/gl210/flat.fs", "#version 120\nvoid main() { oops; }\n");
  ASSERT_TRUE(run.waitForLines("Shader pair p flat not rebuilt: a shader does not compile", 1,
                               STEP_SECONDS)) << run.log();
  game.write("assets/shaders/gl210/flat.fs", flatShader("0.0, 1.0, 0.0, 1.0"));
  ASSERT_TRUE(run.waitForLines("Changing shader p flat", 2, STEP_SECONDS)) << run.log();

  saveByRename(game, "main.lua", "config = {\nclearColor is blue\n");
  ASSERT_TRUE(run.waitForLines("Lua error: main.lua:2:", 1, STEP_SECONDS)) << run.log();
  saveByRename(game, "main.lua",
               mainScript("{ red = 0, green = 0, blue = 1 }",
                          "function onReload() frames = 0 end\n"
                          "function update()\n"
                          "  frames = frames + 1\n"
                          "  if frames == 3 then app.quit() end\n"
                          "end\n"));

  GameRun ended = run.finish(STEP_SECONDS);
  ASSERT_EQ(ended.exitStatus, 0) << ended.out << ended.err;
  EXPECT_EQ(countLines(ended.out, "Reload main.lua"), 2) << ended.out;
  EXPECT_EQ(countLines(ended.out, "Shader pair p flat not rebuilt: a shader does not compile; the "
                                  "previous program stays"),
            1)
      << ended.out;
  EXPECT_EQ(countLinesStartingWith(ended.out, "Lua error"), 1)
      << "the broken main.lua logs one line\n" << ended.out;
  Picture shot = readPicture(game.file("shot.png"));
  EXPECT_TRUE(near(shot.at(32, 24), {0, 255, 0, 255})) << "the edited shader draws the square";
  EXPECT_TRUE(near(shot.at(2, 2), {0, 0, 255, 255})) << "the edited main.lua clears the frame";
}

// A module in any folder, one made after the start included, is required
// afresh when it changes: main.lua runs again and its require reads the file.
TEST(LiveReload, AChangedModuleInAnyFolderIsRequiredAfresh) {
  GameFolder game;
  game.writeMain("config = { width = 32, height = 32 }\nworld = {}\n"
                 "print('colour: ' .. require('lib.colour'))\n"
                 "local found, extra = pcall(require, 'more.deep.extra')\n"
                 "print('extra: ' .. (found and extra or 'none'))\n"
                 "started = started or os.time()\n"
                 "function update()\n"
                 "  if not running then running = true print('running') end\n"
                 "  if os.time() - started > 240 then app.quit() end\n"
                 "end\n");
  game.write("lib/colour.lua", "return 'red'\n");
  RunningGame run(game, {"--windowed", "--watch", "--frames", "1000000"});
  ASSERT_TRUE(run.waitForLines("running", 1, STEP_SECONDS)) << run.log();
  saveByRename(game, "lib/colour.lua", "return 'green'\n");
  ASSERT_TRUE(run.waitForLines("colour: green", 1, STEP_SECONDS)) << run.log();
  game.write("more/deep/extra.lua", "return 'here'\n");
  ASSERT_TRUE(run.waitForLines("extra: here", 1, STEP_SECONDS)) << run.log();
  game.write("more/deep/extra.lua", "app.quit()\nreturn 'again'\n");

  GameRun ended = run.finish(STEP_SECONDS);
  ASSERT_EQ(ended.exitStatus, 0) << ended.out << ended.err;
  EXPECT_TRUE(linesInOrder(ended.out, {"colour: red", "extra: none", "Watching . and its folders",
                                       "running", "Reload lib/colour.lua", "Reload main.lua",
                                       "colour: green", "Reload more/deep/extra.lua",
                                       "extra: here", "Reload more/deep/extra.lua",
                                       "extra: again"}))
      << ended.out;
}
