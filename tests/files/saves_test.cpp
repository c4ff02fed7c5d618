// The save folder: where it is, binary contents, refused names, writes that
// survive a kill at any moment, and saves that are there but unreadable.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include "files/files.h"
#include "files/saves.h"
#include "support/game_run.h"

using testsupport::GameFolder;
using testsupport::GameRun;

namespace {
class Saves : public testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    saves::setIdentity("savetest");
  }
  GameFolder data;
};
}  // namespace

TEST_F(Saves, BinaryContentsRoundTripAndTheFolderFollowsTheEnvironment) {
  EXPECT_EQ(saves::folder(), data.path() + "/tarnwick/savetest");
  std::string contents("a\0b\xff\n", 5), read;
  EXPECT_FALSE(saves::read("slot", read));
  saves::write("slot", contents);
  saves::write("other", "");
  ASSERT_TRUE(saves::read("slot", read));
  EXPECT_EQ(read, contents);
  EXPECT_EQ(saves::list(), (std::vector<std::string>{"other", "slot"}));
  EXPECT_TRUE(saves::remove("slot"));
  EXPECT_FALSE(saves::remove("slot"));
  EXPECT_EQ(saves::list(), (std::vector<std::string>{"other"}));
  EXPECT_EQ(saves::path(), saves::folder());

  setenv("XDG_DATA_HOME", "relative/ignored", 1);
  setenv("HOME", data.path().c_str(), 1);
  EXPECT_EQ(saves::folder(), data.path() + "/.local/share/tarnwick/savetest");
  EXPECT_FALSE(saves::setIdentity("../escape"));
  EXPECT_EQ(saves::identity(), "savetest");
}

TEST_F(Saves, NamesThatAreNotPlainFileNamesAreRefusedWithAClearError) {
  for (const char* bad : {"../x", "/tmp/x", "a/b", ".hidden", "", "..", "a:b", "slot?", "NUL",
                          "con.sav", "slot."}) {
    try {
      saves::write(bad, "x");
      ADD_FAILURE() << "accepted " << bad;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find("is refused: use a plain file name"),
                std::string::npos);
    }
    std::string read;
    EXPECT_THROW(saves::read(bad, read), std::runtime_error) << bad;
    EXPECT_THROW(saves::remove(bad), std::runtime_error) << bad;
  }
  EXPECT_TRUE(saves::list().empty());
}

// A child writes ever-newer values in a loop and is killed at a random moment,
// 50 times: every read finds one complete value, never a torn or empty file.
TEST_F(Saves, AWriterKilledAtAnyMomentLeavesTheOldValueOrTheNew) {
  std::mt19937 random(24);
  const size_t size = 64 * 1024;
  saves::write("progress", std::string(size, 'a'));
  for (int kill = 0; kill < 50; ++kill) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (unsigned i = 0;; ++i) saves::write("progress", std::string(size, char('a' + i % 26)));
    }
    usleep(std::uniform_int_distribution<int>(0, 20000)(random));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::string value;
    ASSERT_TRUE(saves::read("progress", value));
    ASSERT_EQ(value.size(), size) << "after kill " << kill;
    ASSERT_EQ(value.find_first_not_of(value[0]), std::string::npos) << "after kill " << kill;
  }
  EXPECT_EQ(saves::list(), (std::vector<std::string>{"progress"}));
}

// Every name the docs allow works, whatever its length, and asking for the
// folder makes nothing: only a write does.
TEST_F(Saves, NamesOfEveryAllowedLengthWorkAndOnlyAWriteMakesTheFolder) {
  EXPECT_EQ(saves::path(), saves::folder());
  EXPECT_TRUE(saves::list().empty());
  struct stat info;
  EXPECT_NE(stat(saves::folder().c_str(), &info), 0) << "made before any write";
  for (size_t length : {size_t(1), size_t(200), size_t(248), size_t(255)}) {
    std::string name(length, 'n'), read;
    saves::write(name, name);
    ASSERT_TRUE(saves::read(name, read)) << length;
    EXPECT_EQ(read, name);
  }
  EXPECT_EQ(saves::list().size(), 4u);
}

// A save that is there but cannot be read must never read as "no save": the
// game would start a new profile and write it over the player's progress.
TEST_F(Saves, ASaveThatIsThereButCannotBeReadRaises) {
  data.write("tarnwick/savetest/folder/inside", "");
  std::string read;
  EXPECT_THROW(saves::read("folder", read), std::runtime_error);
  // Too large to read: the failure sets no errno, so a stale one must not count.
  data.write("tarnwick/savetest/huge", "");
  ASSERT_EQ(truncate(data.file("tarnwick/savetest/huge").c_str(),
                     static_cast<off_t>(files::MAX_FILE_BYTES) + 1),
            0);
  errno = ENOENT;
  EXPECT_THROW(saves::read("huge", read), std::runtime_error);
}

// The top of main.lua already uses config.identity, and a strict global table
// met before config exists changes nothing.
TEST(SaveIdentity, TheTopOfMainLuaUsesTheGamesFolder) {
  GameFolder data, game;
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  data.write("tarnwick/keeper/best", "42");
  data.write("tarnwick/keeper/broken/inside", "");
  game.writeMain(
      "config = { width = 32, height = 32, identity = 'keeper' }\nworld = {}\n"
      "print('best: ' .. saves.read('best'))\n"
      "print(select(2, pcall(saves.read, 'broken')))\n"
      "print('path: ' .. saves.path())\n");
  GameRun run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(testsupport::linesInOrder(
      run.out, {"best: 42", "cannot read save 'broken': Is a directory",
                "path: " + data.path() + "/tarnwick/keeper"}))
      << run.out;

  game.writeMain(
      "setmetatable(_G, { __index = function(_, name) error('no global ' .. name) end })\n"
      "print('saves: ' .. #saves.list() .. ' ' .. saves.path())\n"
      "setmetatable(_G, nil)\n"
      "config = { width = 32, height = 32 }\nworld = {}\n");
  run = runFrames(game, 1);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  std::string own = game.path().substr(game.path().rfind('/') + 1);
  EXPECT_TRUE(testsupport::linesInOrder(
      run.out, {"saves: 0 " + data.path() + "/tarnwick/" + own}))
      << run.out;
  // Neither run wrote, so no folder was made for the game's own name.
  struct stat info;
  EXPECT_NE(stat((data.path() + "/tarnwick/" + own).c_str(), &info), 0);
}

// Non-ASCII bytes in every part of a save's path: the data folder, the game
// folder the identity is named after, and the save's name. The second run
// reads what the first wrote.
TEST(SaveIdentity, NonAsciiFoldersAndNamesRoundTrip) {
  GameFolder data, game;
  std::string home = data.path() + "/Dätä ünd Späß";
  setenv("XDG_DATA_HOME", home.c_str(), 1);
  game.write("Spiel ゲーム/main.lua",
             "config = { width = 32, height = 32 }\nworld = {}\n"
             "print('read: ' .. tostring(saves.read('Stand ✓')))\n"
             "saves.write('Stand ✓', 'Grüße')\n"
             "print('list: ' .. table.concat(saves.list(), ','))\n");
  std::vector<std::string> args = {"--windowed", "--frames", "1", "--fixed-dt", "16",
                                   game.file("Spiel ゲーム")};
  GameRun first = testsupport::runTarnwick(args), second = testsupport::runTarnwick(args);
  EXPECT_EQ(first.exitStatus, 0) << first.out << first.err;
  EXPECT_TRUE(testsupport::linesInOrder(first.out, {"read: nil", "list: Stand ✓"})) << first.out;
  EXPECT_TRUE(testsupport::linesInOrder(second.out, {"read: Grüße", "list: Stand ✓"}))
      << second.out << second.err;
  struct stat info;
  EXPECT_EQ(stat((home + "/tarnwick/Spiel ゲーム/Stand ✓").c_str(), &info), 0);
}
