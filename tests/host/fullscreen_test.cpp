// Full screen on a display that has no mode of the game's size, and input on
// the real window. Runs on an X screen of its own, 1280 x 720 (see
// tests/CMakeLists.txt); the games drive the pointer and keyboard with xdotool
// from their own update, so every event goes through the X server.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const RGBA BLACK = {0, 0, 0, 255};
const RGBA BLUE = {0, 0, 255, 255};
const RGBA RED = {255, 0, 0, 255};

// A full-screen run (no --windowed) of `frames` frames with a screenshot.
GameRun runFullScreen(const GameFolder& game, int frames) {
  return runGame(game, {"--frames", std::to_string(frames), "--fixed-dt", "16", "--screenshot",
                        game.file("shot.png")});
}

// Logs the callbacks' arguments; `script` runs xdotool commands on given frames.
std::string inputGame(const std::string& config, const std::string& script) {
  return "config = " + config +
         "\n"
         "world = {}\n"
         "local function say(...) log.DLOG(table.concat({...}, ' ') .. '\\n') end\n"
         "function onKeyboardEvent(pressed, key, again) say('key', tostring(pressed), key, tostring(again)) end\n"
         "function onMouseButtonEvent(...) say('button', ...) end\n"
         "function onTouchEvent(...) say('touch', ...) end\n"
         "function onMouseMoveEvent(...) say('move', ...) end\n"
         "local frame = 0\n"
         "local function at(n, command) if frame == n then os.execute('xdotool ' .. command) end end\n"
         "function update()\n"
         "  frame = frame + 1\n" +
         script + "end\n";
}
}  // namespace

TEST(FullScreen, ASmallGameIsDrawnAtItsSizeAndScaledBetweenBlackBars) {
  GameFolder game;
  // Blue background; a red rectangle over the right half of the default
  // camera's view, which spans the game's 320 x 240.
  game.writeMain(
      "config = { width = 320, height = 240 }\n"
      "clearColor = { red = 0, green = 0, blue = 1 }\n"
      "world = { camera = {},\n"
      "  { vertices = { 0,-120,0, 160,-120,0, 160,120,0,  0,-120,0, 160,120,0, 0,120,0 },\n"
      "    uniforms = { color = { 1, 0, 0, 1 } } } }\n"
      "function init() log.DLOG(string.format('init %dx%d\\n', screenWidth, screenHeight)) end\n"
      "function update() log.DLOG(string.format('frame %dx%d\\n', screenWidth, screenHeight)) end\n");
  GameRun run = runFullScreen(game, 3);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("The display has no 320x240 mode: the game is scaled to 960x720\n"),
            std::string::npos)
      << run.out;
  // Window events came and went: the game still sees its own size.
  EXPECT_TRUE(linesInOrder(run.out, {"init 320x240", "frame 320x240", "frame 320x240",
                                     "frame 320x240"}))
      << run.out;

  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 1280);
  ASSERT_EQ(shot.height, 720);
  // 320 x 240 times 3 is 960 x 720: bars of 160 on either side.
  for (int y : {0, 360, 719}) {
    EXPECT_EQ(shot.at(0, y), BLACK) << y;
    EXPECT_EQ(shot.at(159, y), BLACK) << y;
    EXPECT_EQ(shot.at(160, y), BLUE) << y;
    EXPECT_EQ(shot.at(636, y), BLUE) << y;
    EXPECT_EQ(shot.at(644, y), RED) << y;
    EXPECT_EQ(shot.at(1119, y), RED) << y;
    EXPECT_EQ(shot.at(1120, y), BLACK) << y;
    EXPECT_EQ(shot.at(1279, y), BLACK) << y;
  }
}

TEST(FullScreen, AGameOfTheDisplaysShapeFillsItAndOneOfItsSizeIsNotScaled) {
  for (const char* size : {"width = 640, height = 360", "width = 1280, height = 720"}) {
    GameFolder game;
    game.writeMain(std::string("config = { ") + size +
                   " }\nclearColor = { red = 1, green = 0, blue = 0 }\nworld = {}\n");
    GameRun run = runFullScreen(game, 2);
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    Picture shot = readPicture(game.file("shot.png"));
    ASSERT_EQ(shot.width, 1280) << size;
    ASSERT_EQ(shot.height, 720) << size;
    for (int x : {0, 1279})
      for (int y : {0, 719}) EXPECT_EQ(shot.at(x, y), RED) << size << " " << x << "," << y;
  }
  GameFolder exact;
  exact.writeMain("config = { width = 1280, height = 720 }\nworld = {}\n");
  EXPECT_EQ(runFullScreen(exact, 1).out.find("The display has no"), std::string::npos);
}

TEST(FullScreen, AWindowedGameKeepsItsWindow) {
  GameFolder game;
  game.writeMain("config = { width = 320, height = 240, fullscreen = false }\nworld = {}\n");
  GameRun run = runFullScreen(game, 2);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("The display has no"), std::string::npos) << run.out;
  EXPECT_EQ(readPicture(game.file("shot.png")).width, 320);
}

TEST(FullScreenInput, PointerPositionsAreTheGamesPixels) {
  GameFolder game;
  // Window pixel (460, 150) is game pixel (100, 50): 160 + 3 * 100, 3 * 50.
  game.writeMain(inputGame("{ width = 320, height = 240 }",
                           "  at(3, 'mousemove 460 150')\n"
                           "  at(5, 'click 3')\n"
                           "  if frame == 7 then say('position', app.getMousePosition()) end\n"
                           "  at(8, 'mousemove 463 156')\n"));
  GameRun run = runFullScreen(game, 10);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"button 1025 3 100 50",
                                     "touch 1792 1 100 50", "button 1026 3 100 50",
                                     "touch 1793 1 100 50", "position 100 50", "move 101 52 1 2"}))
      << run.out;
}

TEST(FullScreenInput, EscapeEndsTheRunUnlessTheGameKeepsIt) {
  const std::string script =
      "  at(3, 'keydown Escape')\n"
      "  if frame == 6 then say('held', tostring(app.isKeyDown(keys.escape))) end\n"
      "  at(7, 'keyup Escape')\n"
      "  if frame == 9 then say('still running') end\n";
  GameFolder keeps;
  keeps.writeMain(inputGame("{ width = 320, height = 240, quitOnEscape = false }", script));
  GameRun run = runFullScreen(keeps, 12);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"key true 27 false", "held true", "key false 27 false", "still running"}))
      << run.out;

  GameFolder quits;
  quits.writeMain(inputGame("{ width = 320, height = 240 }", script));
  run = runFullScreen(quits, 12);
  // This run ends with Escape still down on the X server.
  EXPECT_EQ(std::system("xdotool keyup Escape"), 0);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"key true 27 false", "SDLquit"})) << run.out;
  EXPECT_EQ(run.out.find("still running"), std::string::npos) << run.out;
}

TEST(FullScreenInput, AQuickEscapeTapEndsADefaultGameEveryTime) {
  // Press and release reach the game within one frame's events.
  GameFolder game;
  game.writeMain(inputGame("{ width = 320, height = 240 }",
                           "  at(3, 'key Escape')\n"
                           "  if frame == 8 then say('still running') end\n"));
  for (int tap = 1; tap <= 4; ++tap) {
    GameRun run = runFullScreen(game, 12);
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_TRUE(linesInOrder(run.out, {"key true 27 false", "key false 27 false", "SDLquit"}))
        << "tap " << tap << ": " << run.out;
    EXPECT_EQ(run.out.find("still running"), std::string::npos) << "tap " << tap << ": " << run.out;
  }
}

TEST(FullScreenInput, AHeldKeyRepeatsFlaggedAndATapIsAPressSinceTheLastFrame) {
  GameFolder game;
  game.writeMain(inputGame(
      "{ width = 320, height = 240 }",
      // The X server repeats a key held longer than its delay (660 ms).
      "  at(3, 'keydown a sleep 1.2 keyup a')\n"
      "  at(6, 'key b mousedown 1')\n"
      "  if frame == 7 then say('b went down', tostring(app.keyWentDown(keys.b)),\n"
      "                       tostring(app.keyWentUp(keys.b)), tostring(app.isKeyDown(keys.b))) end\n"
      "  if frame == 7 then say('left button', tostring(app.mouseButtonWentDown(1)),\n"
      "                       tostring(app.isMouseButtonDown(1)), tostring(app.isMouseButtonDown(3))) end\n"
      "  at(8, 'mouseup 1')\n"
      "  if frame == 9 then say('left button up', tostring(app.mouseButtonWentUp(1)),\n"
      "                       tostring(app.isMouseButtonDown(1))) end\n"));
  GameRun run = runFullScreen(game, 10);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(countLines(run.out, "key true 97 false"), 1) << run.out;
  EXPECT_GE(countLines(run.out, "key true 97 true"), 1) << run.out;
  EXPECT_TRUE(linesInOrder(run.out, {"key true 97 false", "key true 97 true", "key false 97 false",
                                     "b went down true true false", "left button true true false",
                                     "left button up true false"}))
      << run.out;
}

TEST(FullScreenInput, TheGamesTitleStaysOnTheWindow) {
  GameFolder game;
  game.writeMain(inputGame(
      "{ width = 320, height = 240, title = 'Marble Run' }",
      "  if frame == 4 then\n"
      "    say('found', os.execute('xdotool search --name \"^Marble Run$\" >/dev/null'))\n"
      "  end\n"));
  GameRun run = runFullScreen(game, 5);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"found 0"})) << run.out;
}
