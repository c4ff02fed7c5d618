// Shipping a game: the same game run from its folder, its archive and a fused
// executable; bad archives; the player bundle, run where the build tree
// cannot be seen; and the Windows bundle made from a stand-in runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/fused.h"
#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const std::string SOURCE = TARNWICK_SOURCE_DIR;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A mono 16-bit WAV of `frames` silent samples.
std::string silentWav(uint32_t frames) {
  auto word = [](uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
    return out;
  };
  return "RIFF" + word(36 + frames * 2, 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
         word(22050, 4) + word(44100, 4) + word(2, 2) + word(16, 2) + "data" + word(frames * 2, 4) +
         std::string(frames * 2, '\0');
}

// A game that reads one file of every kind, and a module and a data file.
void writeEveryKindOfFile(const GameFolder& game) {
  game.writeMain(
      "local parts = require 'parts'\n"
      "local steps = require 'ai.steps'\n"
      "config = { width = 160, height = 120 }\n"
      "clearColor = { red = 0.1, green = 0.1, blue = 0.2 }\n"
      "world = { camera = {},\n"
      "  { texture = 'sun', x = -40 },\n"
      "  { texture = 'moon', fs = 'tint', x = 40, y = 30 },\n"
      "  { model = 'gem', scale = 20, x = 40, y = -30, uniforms = { color = { 1, 1, 1, 1 } } },\n"
      "  { text = parts.label, font = 'Body', size = 14, y = 45 },\n"
      "}\n"
      "function init()\n"
      "  audio.playEffect('blip.wav')\n"
      "  audio.playMusic('theme.wav')\n"
      "  print('level: ' .. resources.readFile('assets/data/level.txt'))\n"
      "  print('chunks: ' .. steps .. ' ' .. dofile('bonus.lua') .. ' ' ..\n"
      "        loadfile('bonus.lua')())\n"
      "  print('no chunk: ' .. tostring(loadfile('none.lua')))\n"
      "  print('absent: ' .. tostring(resources.readFile('assets/data/none.txt')))\n"
      "  print('escape: ' .. tostring(pcall(resources.readFile, '../outside')))\n"
      "end\n");
  game.write("parts.lua", "return { label = 'Parts' }\n");
  game.write("ai/steps.lua", "return 7\n");
  game.write("bonus.lua", "return 40 + 2\n");
  game.write("assets/data/level.txt", "3 rooms");
  game.write("assets/textures/sun.png", slurp(SOURCE + "/examples/demo/assets/textures/sun.png"));
  game.write("assets/textures/moon.png", slurp(SOURCE + "/examples/demo/assets/textures/moon.png"));
  game.write("assets/models/gem.mod", slurp(SOURCE + "/examples/demo/assets/models/gem.mod"));
  game.write("assets/fonts/Body.ttf", slurp("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  game.write("assets/audio/blip.wav", silentWav(2205));
  game.write("assets/audio/theme.wav", silentWav(22050));
  game.write("assets/shaders/gl210/tint.fs",
             "#version 120\nuniform sampler2D textureSampler;\nuniform vec4 color;\n"
             "varying vec2 uv;\nvoid main() {\n"
             "  gl_FragColor = texture2D(textureSampler, uv).bgra * color;\n}\n");
}

const std::vector<std::string> FRAMES = {"--windowed", "--frames", "3", "--fixed-dt", "16"};

std::vector<std::string> withShot(std::vector<std::string> args, const std::string& shot) {
  args.insert(args.end(), {"--screenshot", shot});
  return args;
}

// Runs `command` through the shell; the log and the exit status.
GameRun shell(const std::string& command, const std::string& logPath) {
  int status = std::system((command + " >" + logPath + " 2>" + logPath + ".err").c_str());
  GameRun run;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = slurp(logPath);
  run.err = slurp(logPath + ".err");
  return run;
}

std::string joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += " '" + arg + "'";
  return text;
}
}  // namespace

TEST(Shipping, AGameRunsAlikeFromItsFolderItsArchiveAndAFusedExecutable) {
  GameFolder game, out;
  writeEveryKindOfFile(game);
  GameRun folder = runTarnwick(withShot(FRAMES, out.file("folder.png")), game.path());
  ASSERT_EQ(folder.exitStatus, 0) << folder.out << folder.err;
  EXPECT_EQ(folder.out.find("cannot be played"), std::string::npos) << folder.out;
  EXPECT_EQ(folder.out.find("Font Body not found"), std::string::npos) << folder.out;
  EXPECT_EQ(folder.out.find("for text"), std::string::npos) << folder.out;
  EXPECT_TRUE(linesInOrder(folder.out, {"Load sound assets/audio/blip.wav", "level: 3 rooms",
                                        "chunks: 7 42 42", "no chunk: nil", "absent: nil",
                                        "escape: false",
                                        "Compiling shader assets/shaders/gl210/tint.fs"}))
      << folder.out;

  ASSERT_EQ(runTarnwick({"--package", game.path(), out.file("game.zip")}).exitStatus, 0);
  std::vector<std::string> zipArgs = withShot(FRAMES, out.file("zip.png"));
  zipArgs.push_back("game.zip");
  GameRun zipped = runTarnwick(zipArgs, out.path());
  ASSERT_EQ(zipped.exitStatus, 0) << zipped.out << zipped.err;
  EXPECT_EQ(zipped.out, folder.out);

  GameRun fusing = runTarnwick({"--fuse", game.path(), out.file("fused")});
  ASSERT_EQ(fusing.exitStatus, 0) << fusing.err;
  GameFolder elsewhere;
  GameRun fused = shell("cd '" + elsewhere.path() + "' && '" + out.file("fused") + "'" +
                            joined(withShot(FRAMES, out.file("fused.png"))),
                        out.file("fused.log"));
  ASSERT_EQ(fused.exitStatus, 0) << fused.out << fused.err;
  // Away from the build tree, the framework's files are its built-in copies.
  std::string expected = folder.out;
  for (size_t at = 0; (at = expected.find(TARNWICK_EXECUTABLE_DIR "/", at)) != std::string::npos;)
    expected.replace(at, strlen(TARNWICK_EXECUTABLE_DIR "/"), "<built-in>/");
  EXPECT_EQ(fused.out, expected);

  Picture reference = readPicture(out.file("folder.png"));
  ASSERT_EQ(reference.width, 160);
  // Something was drawn: not every pixel is the clear colour of the corner.
  bool drawn = false;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x)
      drawn = drawn || !near(reference.at(x, y), reference.at(0, 0));
  EXPECT_TRUE(drawn);
  EXPECT_EQ(readPicture(out.file("zip.png")).rgba, reference.rgba);
  EXPECT_EQ(readPicture(out.file("fused.png")).rgba, reference.rgba);
}

TEST(Shipping, BadArchivesSayOneLineAndExitWithStatusOne) {
  GameFolder dir;
  dir.writeMain("config = { width = 32, height = 32 }\nworld = {}\n");
  ASSERT_EQ(runTarnwick({"--package", dir.path(), dir.file("good.zip")}).exitStatus, 0);
  std::string good = slurp(dir.file("good.zip"));
  dir.write("broken.zip", good.substr(0, good.size() - 10));
  GameFolder noMain;
  noMain.write("readme.txt", "no game here");
  GameRun packaged = runTarnwick({"--package", noMain.path(), dir.file("nomain.zip")});
  EXPECT_EQ(packaged.exitStatus, 1);
  EXPECT_EQ(packaged.err, "tarnwick: cannot package '" + noMain.path() + "': '" + noMain.path() +
                              "' has no main.lua\n");

  GameRun broken = runTarnwick({"--windowed", "--frames", "1", dir.file("broken.zip")});
  EXPECT_EQ(broken.exitStatus, 1);
  EXPECT_EQ(broken.out, "");
  EXPECT_EQ(std::count(broken.err.begin(), broken.err.end(), '\n'), 1) << broken.err;
  std::string expected = "tarnwick: cannot run game archive '" + dir.file("broken.zip") + "': ";
  EXPECT_EQ(broken.err.rfind(expected, 0), 0u)
      << broken.err;

  GameRun watched = runTarnwick({"--windowed", "--frames", "2", "--watch", dir.file("good.zip")});
  EXPECT_EQ(watched.exitStatus, 0) << watched.err;
  EXPECT_EQ(countLinesStartingWith(watched.out, "--watch does nothing for a game archive"), 1);
}

TEST(Shipping, TheBundleCarriesEveryLibraryBeyondTheBaseAndRunsWithoutTheBuildTree) {
  GameFolder out;
  std::string bundle = out.file("orrery");
  GameRun made = runTarnwick({"--bundle", SOURCE + "/examples/demo", bundle});
  ASSERT_EQ(made.exitStatus, 0) << made.err;
  std::string program = bundle + "/demo";

  GameRun ldd = shell("ldd '" + program + "'", out.file("ldd.log"));
  ASSERT_EQ(ldd.exitStatus, 0) << ldd.err;
  for (const char* library : {"libSDL2-2.0", "libSDL2_mixer", "liblua5.1", "libpng16",
                              "libfreetype", "libGLEW", "libzip", "libFLAC", "libvorbisfile",
                              "libvorbis.", "libogg", "libmpg123", "libopus."}) {
    size_t at = ldd.out.find(library);
    ASSERT_NE(at, std::string::npos) << library << "\n" << ldd.out;
    std::string line = ldd.out.substr(at, ldd.out.find('\n', at) - at);
    EXPECT_NE(line.find("=> " + bundle + "/lib/"), std::string::npos) << line;
  }
  EXPECT_EQ(ldd.out.find("not found"), std::string::npos) << ldd.out;

  // A copy in a fresh folder, with the build tree hidden by an empty folder
  // mounted over it: the framework's files must come from the bundle.
  GameFolder copy, empty;
  ASSERT_EQ(std::system(("cp -a '" + bundle + "' '" + copy.path() + "/'").c_str()), 0);
  std::string hide = "mount --bind '" + empty.path() + "' '" TARNWICK_EXECUTABLE_DIR "' && ";
  GameRun run = shell("unshare -rm sh -c \"" + hide + "cd / && '" + copy.path() +
                          "/orrery/demo' --windowed --frames 3 --fixed-dt 16 --screenshot '" +
                          copy.path() + "/shot.png'\"",
                      out.file("bundle.log"));
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Compiling shader " + copy.path() +
                                     "/orrery/shaders/gl210/simple.vs"}))
      << run.out;
  EXPECT_EQ(readPicture(copy.path() + "/shot.png").width, 960);
}

TEST(Shipping, OutputsInsideTheGameAreNeverPackedAndNeverReplaceItsFiles) {
  GameFolder game;
  const std::string script = "config = { width = 32, height = 32 }\nworld = {}\n";
  game.writeMain(script);
  game.write("assets/data/level.txt", "3 rooms");
  game.write("dist/readme.txt", "the game's own notes");

  // Run twice, each output is the same bytes: the first is never packed into
  // the second. The archive runs.
  for (const char* command : {"--package", "--fuse"}) {
    std::string out = game.file(std::string("mygame") + (command[2] == 'p' ? ".zip" : ""));
    GameRun first = runTarnwick({command, game.path(), out});
    ASSERT_EQ(first.exitStatus, 0) << command << first.err;
    std::string bytes = slurp(out);
    GameRun second = runTarnwick({command, game.path(), out});
    ASSERT_EQ(second.exitStatus, 0) << command << second.err;
    EXPECT_EQ(slurp(out), bytes) << command;
  }
  EXPECT_EQ(runTarnwick({"--windowed", "--frames", "1", game.file("mygame.zip")}).exitStatus, 0);
  std::string archive = slurp(game.file("mygame.zip"));
  GameRun bundled = runTarnwick({"--bundle", game.path(), game.file("build/linux")});
  ASSERT_EQ(bundled.exitStatus, 0) << bundled.err;
  EXPECT_EQ(runTarnwick({"--bundle", game.path(), game.file("build/linux")}).exitStatus, 0);
  // Nor are the outputs of the other commands.
  ASSERT_EQ(runTarnwick({"--package", game.path(), game.file("mygame.zip")}).exitStatus, 0);
  EXPECT_EQ(slurp(game.file("mygame.zip")), archive);

  // A file or folder of the game is refused, with nothing written.
  struct Case {
    const char* command;
    const char* out;
  };
  for (const Case& c : {Case{"package", "main.lua"}, Case{"fuse", "assets/data/level.txt"},
                        Case{"package", "assets"}, Case{"bundle", "dist"},
                        Case{"bundle", ""}, Case{"export-web", "assets"}}) {
    std::string out = c.out[0] ? game.file(c.out) : game.path();
    GameRun refused = runTarnwick({std::string("--") + c.command, game.path(), out});
    EXPECT_EQ(refused.exitStatus, 2) << c.command << " " << c.out << refused.err;
    EXPECT_EQ(refused.err, "tarnwick: --" + std::string(c.command) + " refuses '" + out +
                               "': it is part of the game, not an earlier output\n");
  }
  EXPECT_EQ(slurp(game.file("main.lua")), script);
  EXPECT_EQ(slurp(game.file("assets/data/level.txt")), "3 rooms");
  EXPECT_EQ(slurp(game.file("dist/readme.txt")), "the game's own notes");
}

TEST(Shipping, AFusedGameCopiedAloneDrawsWithTheFrameworksOwnShadersAndFont) {
  GameFolder game, out, copy, empty;
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "clearColor = { red = 0, green = 0, blue = 0 }\n"
      "world = { camera = {}, { text = 'Hi', size = 24 } }\n");
  ASSERT_EQ(runTarnwick({"--fuse", game.path(), out.file("fused")}).exitStatus, 0);
  ASSERT_EQ(std::system(("cp '" + out.file("fused") + "' '" + copy.path() + "/'").c_str()), 0);
  // The build tree, where the framework's files also lie, hidden by an empty
  // folder mounted over it.
  std::string hide = "mount --bind '" + empty.path() + "' '" TARNWICK_EXECUTABLE_DIR "' && ";
  GameRun run = shell("unshare -rm sh -c \"" + hide + "cd / && '" + copy.file("fused") + "'" +
                          joined(withShot(FRAMES, copy.file("shot.png"))) + "\"",
                      out.file("fused.log"));
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Compiling shader <built-in>/shaders/gl210/text.vs"}))
      << run.out;
  Picture shot = readPicture(copy.file("shot.png"));
  ASSERT_EQ(shot.width, 64);
  int lit = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) lit += shot.at(x, y)[0] > 128;
  EXPECT_GT(lit, 20) << "no text drawn";
}

TEST(Shipping, ASaveWrittenByOneRunIsReadByTheNextAndBadNamesAreScriptErrors) {
  GameFolder data, game;
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  game.writeMain(
      "config = { width = 32, height = 32, identity = 'keeper' }\nworld = {}\n"
      "function init()\n"
      "  local old = saves.read('slot')\n"
      "  print('found: ' .. (old and #old or 'nil') .. ' ' .. table.concat(saves.list(), ','))\n"
      "  saves.write('slot', 'a\\0b\\255')\n"
      "  print(select(2, pcall(saves.write, '../escape', 'x')))\n"
      "  print('path: ' .. saves.path())\n"
      "end\n");
  GameRun first = runFrames(game, 1);
  ASSERT_EQ(first.exitStatus, 0) << first.out << first.err;
  EXPECT_TRUE(linesInOrder(
      first.out, {"found: nil ",
                  "save name '../escape' is refused: use a plain file name (none of "
                  "/\\:*?\"<>| or control characters, no leading '.', no trailing '.' or ' ', "
                  "not CON, NUL, COM1 and the like)",
                  "path: " + data.path() + "/tarnwick/keeper"}))
      << first.out;
  GameRun second = runFrames(game, 1);
  EXPECT_TRUE(linesInOrder(second.out, {"found: 4 slot"})) << second.out;
  EXPECT_EQ(slurp(data.path() + "/tarnwick/keeper/slot"), std::string("a\0b\xff", 4));

  game.writeMain("config = { width = 32, height = 32, identity = '../up' }\nworld = {}\n");
  GameRun refused = runFrames(game, 1);
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_TRUE(linesInOrder(refused.out,
                           {"config.identity must be a plain folder name, got \"../up\""}))
      << refused.out;
}

namespace {
// A stand-in Windows runtime: an "executable" and a DLL list.
class WindowsRuntime {
 public:
  explicit WindowsRuntime(const std::string& folder) {
    setenv("TARNWICK_WINDOWS_RUNTIME", folder.c_str(), 1);
  }
  ~WindowsRuntime() { unsetenv("TARNWICK_WINDOWS_RUNTIME"); }
};

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
}  // namespace

TEST(Shipping, TheWindowsBundleIsTheRuntimeWithTheGameFusedInAndItsDllsBesideIt) {
  GameFolder runtime, game, out;
  const std::string exe = std::string("MZ runtime\0bytes", 16);
  runtime.write("tarnwick.exe", exe);
  runtime.write("tarnwick-dlls.txt", "\nlibfake-1.dll\r\n");
  runtime.write("libfake-1.dll", "MZ dll");
  runtime.write("unlisted.dll", "not shipped");
  WindowsRuntime found(runtime.path());
  game.writeMain("config = { width = 32, height = 32 }\nworld = {}\n");
  ASSERT_EQ(runTarnwick({"--package", game.path(), out.file("game.zip")}).exitStatus, 0);
  std::string archive = slurp(out.file("game.zip"));
  std::string name = std::filesystem::path(game.path()).filename().string();

  // Twice into the game's own dist/: the earlier GAME.exe is an output, left
  // out of the archive and written over with the same bytes.
  std::string bundle = game.file("dist/windows");
  for (int run = 0; run < 2; ++run) {
    GameRun made = runTarnwick({"--bundle", "--target", "windows", game.path(), bundle});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    EXPECT_EQ(made.out, "Bundled " + game.path() + " into " + bundle + ": " + name +
                            ".exe and 1 DLLs beside it\n");
    EXPECT_EQ(namesIn(bundle), (std::vector<std::string>{"libfake-1.dll", name + ".exe"}));
    std::string program = slurp(bundle + "/" + name + ".exe");
    uint64_t start = 0, length = 0;
    ASSERT_TRUE(fused::find(bundle + "/" + name + ".exe", start, length));
    EXPECT_EQ(program, exe + archive + fused::trailer(archive.size()));
    EXPECT_EQ(program.find(game.path()), std::string::npos);
    EXPECT_EQ(slurp(bundle + "/libfake-1.dll"), "MZ dll");
  }

  // One .exe only when the runtime needs no DLL; --target linux is the default.
  GameRun refused = runTarnwick({"--fuse", "--target", "windows", game.path(), out.file("g.exe")});
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_EQ(refused.err, "tarnwick: cannot fuse '" + game.path() + "' for Windows: the Windows "
                         "runtime in " + runtime.path() + " needs 1 DLLs beside it: use "
                         "--bundle --target windows\n");
  EXPECT_FALSE(std::filesystem::exists(out.file("g.exe")));
  runtime.write("tarnwick-dlls.txt", "");
  ASSERT_EQ(runTarnwick({"--fuse", "--target", "windows", game.path(), out.file("g.exe")}).exitStatus, 0);
  EXPECT_EQ(slurp(out.file("g.exe")), exe + archive + fused::trailer(archive.size()));
  ASSERT_EQ(runTarnwick({"--fuse", game.path(), out.file("native")}).exitStatus, 0);
  ASSERT_EQ(runTarnwick({"--fuse", "--target", "linux", game.path(), out.file("linux")}).exitStatus, 0);
  EXPECT_EQ(slurp(out.file("linux")), slurp(out.file("native")));

  // A list naming a file outside the runtime's folder is not followed.
  runtime.write("tarnwick-dlls.txt", "../secret.dll\n");
  GameRun escaping = runTarnwick({"--bundle", "--target", "windows", game.path(), out.file("e")});
  EXPECT_EQ(escaping.exitStatus, 1);
  EXPECT_EQ(std::count(escaping.err.begin(), escaping.err.end(), '\n'), 1) << escaping.err;
}

TEST(Shipping, WithoutAWindowsRuntimeOrWithABadTargetNothingIsWritten) {
  GameFolder empty, game, out;
  game.writeMain("config = { width = 32, height = 32 }\nworld = {}\n");
  WindowsRuntime missing(empty.path());
  for (const char* command : {"fuse", "bundle"}) {
    GameRun run = runTarnwick({std::string("--") + command, "--target", "windows", game.path(),
                               out.file("w")});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "tarnwick: cannot " + std::string(command) + " '" + game.path() +
                           "' for Windows: no Windows runtime (tarnwick.exe and "
                           "tarnwick-dlls.txt) was found: build it with scripts/build-windows.sh "
                           "from the source repository (cmake --install of the framework then "
                           "carries it), or name its folder in TARNWICK_WINDOWS_RUNTIME\n");
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--bundle", "--target", "macos", game.path(), out.file("w")},
        std::vector<std::string>{"--package", "--target", "windows", game.path(), out.file("w")}})
    EXPECT_EQ(runTarnwick(args).exitStatus, 2) << args[0] << " " << args[2];
  EXPECT_TRUE(namesIn(out.path()).empty());
}
