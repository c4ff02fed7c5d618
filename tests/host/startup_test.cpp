// Start-up, shutdown and exit statuses of the real executable.
#include <gtest/gtest.h>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const char* const BLUE_GAME =
    "config = {width = 320, height = 240}\n"
    "clearColor = {red = 0, green = 0, blue = 1}\n"
    "world = {}\n";

bool everyPixelIs(const Picture& picture, RGBA colour) {
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (!near(picture.at(x, y), colour)) return false;
  return picture.width > 0;
}
}  // namespace

TEST(Startup, ANormalRunLogsEveryPhaseInOrderAndShowsTheClearColour) {
  GameFolder game;
  game.writeMain(BLUE_GAME);
  GameRun run = runFrames(game, 3, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Load lua main", "Get size", "Init SDL", "Red size: 8,",
                                     " Green size: 8,", " Blue size: 8", "Init audio",
                                     "Init graphics", "Load assets", "Create textures",
                                     "Create sheets", "Call main lua init", "Start main loop",
                                     "Watch not implemented on this platform",
                                     "Watch not implemented on this platform", "SDLquit",
                                     "Final quit"}))
      << run.out;
  EXPECT_EQ(countLines(run.out, "Watch not implemented on this platform"), 2);
  Picture shot = readPicture(game.file("shot.png"));
  EXPECT_EQ(shot.width, 320);
  EXPECT_EQ(shot.height, 240);
  EXPECT_TRUE(everyPixelIs(shot, {0, 0, 255, 255}));
}

TEST(Startup, ClearColourDefaultsPerChannel) {
  GameFolder game;
  game.writeMain("config = {width = 64, height = 48}\nworld = {}\n");
  GameRun plain = runFrames(game, 1, true);
  ASSERT_EQ(plain.exitStatus, 0) << plain.out;
  EXPECT_TRUE(near(readPicture(game.file("shot.png")).at(5, 5), {230, 153, 77, 255}));

  game.writeMain("config = {width = 64, height = 48}\nclearColor = {red = 0}\nworld = {}\n");
  ASSERT_EQ(runFrames(game, 1, true).exitStatus, 0);
  EXPECT_TRUE(near(readPicture(game.file("shot.png")).at(5, 5), {0, 153, 77, 255}));
}

TEST(Startup, ScriptsSeeTheOrderOfStartUp) {
  GameFolder game;
  game.writeMain(
      "print('top', screenWidth, screenHeight)\n"
      "config = {width = 200.9, height = 100}\n"
      "function init() print('init', screenWidth, screenHeight) end\n"
      "frames = 0\n"
      "function update(dt) frames = frames + 1; print('update', frames, dt) end\n");
  GameRun run = runFrames(game, 4, true);
  ASSERT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"top\tnil\tnil", "Call main lua init", "init\t200\t100",
                                     "update\t1\t0.016000000759959", "update\t4\t0.016000000759959",
                                     "SDLquit"}))
      << run.out;
  EXPECT_EQ(run.out.find("update\t5"), std::string::npos);
  EXPECT_EQ(readPicture(game.file("shot.png")).width, 200);
}

TEST(Startup, QuitDuringInitRunsNoFrame) {
  GameFolder game;
  game.writeMain(
      "config = {width = 64, height = 48}\n"
      "function init() error('init fails') end\n"
      "function update() print('a frame ran') end\n");
  // Without the app module the script cannot quit; an init error is survived.
  GameRun run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_NE(run.out.find("Lua error: "), std::string::npos);
  EXPECT_TRUE(linesInOrder(run.out, {"Call main lua init", "Start main loop", "a frame ran"}));
}

TEST(Startup, AGameThatCannotStartEndsWithStatusOneBeforeAnyWindow) {
  struct Case {
    const char* name;
    const char* script;  // null: no main.lua at all
    const char* expected;
  };
  for (const Case& c : {
           Case{"missing", nullptr, "Lua error: cannot open "},
           Case{"syntax", "config = {width = ", "Lua error: "},
           Case{"shebang", "#!/usr/bin/lua\nconfig = {width = 10, height = 10}\n", "Lua error: "},
           Case{"runtime", "error('top level fails')", "top level fails"},
           Case{"error object", "error({})", "Lua error: (error object is not a string)"},
           Case{"config missing", "x = 1", "Lua error: config must be a table, but it is nil"},
           Case{"config number", "config = 5", "Lua error: config must be a table, but it is number"},
           // Fields a raising __index refuses read as missing.
           Case{"config trap", "config = setmetatable({}, {__index = function() error('trap') end})",
                "config.width must be a positive number, got nil"},
       }) {
    GameFolder game;
    if (c.script) game.writeMain(c.script);
    GameRun run = runFrames(game, 1);
    EXPECT_EQ(run.exitStatus, 1) << c.name << "\n" << run.out << run.err;
    EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.name << "\n" << run.out;
    EXPECT_EQ(run.out.find("Init SDL"), std::string::npos) << c.name;
  }
}

TEST(Startup, AnUnusableConfigFieldEndsStartUpWithOneLine) {
  struct Case {
    const char* config;
    const char* line;
  };
  for (const Case& c : {
           Case{"{width = 0, height = 240}", "config.width must be a positive number, got 0"},
           Case{"{width = 320}", "config.height must be a positive number, got nil"},
           Case{"{width = -320, height = 240}", "config.width must be a positive number, got -320"},
           Case{"{width = 0/0, height = 240}", "config.width must be a positive number, got nan"},
           Case{"{width = 0.5, height = 240}", "config.width must be a positive number, got 0.5"},
           Case{"{width = 'wide', height = 240}",
                "config.width must be a positive number, got \"wide\""},
           Case{"{width = 320, height = 240, fullscreen = 'no'}",
                "config.fullscreen must be true or false, got \"no\""},
           Case{"{width = 320, height = 240, title = {}}", "config.title must be text, got table"},
       }) {
    GameFolder game;
    game.writeMain(std::string("config = ") + c.config + "\nworld = {}\n");
    GameRun run = runFrames(game, 1);
    EXPECT_EQ(run.exitStatus, 1) << c.config;
    EXPECT_EQ(run.out, std::string("Random seed 1\nLoad lua main\nGet size\n") + c.line + "\n")
        << c.config;
  }
  // Numeric text still gives a size, and fractions are cut.
  GameFolder game;
  game.writeMain("config = {width = '64', height = 48.9}\nworld = {}\n");
  GameRun run = runFrames(game, 1, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out;
  EXPECT_EQ(readPicture(game.file("shot.png")).height, 48);
}

TEST(Startup, TheMissingScriptIsNamedWithItsFolder) {
  GameFolder game;
  GameRun run = runFrames(game, 1);
  EXPECT_NE(run.out.find(game.path() + "/main.lua"), std::string::npos) << run.out;
}

TEST(CommandLine, BadOptionsAreRefusedWithStatusTwoAndOneLine) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--nonsense"},
                                        {"--frames", "many"},
                                        {"--fixed-dt"},
                                        {"/no/such/game/folder"}}) {
    GameRun run = runTarnwick(args);
    EXPECT_EQ(run.exitStatus, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  GameRun help = runTarnwick({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("--fixed-dt"), std::string::npos);
  EXPECT_EQ(runTarnwick({"--version"}).exitStatus, 0);
}
