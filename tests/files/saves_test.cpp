// The save folder: where it is, binary contents, refused names, and writes
// that survive a kill at any moment.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

#include "files/saves.h"
#include "support/game_run.h"

using testsupport::GameFolder;

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
  for (const char* bad : {"../x", "/tmp/x", "a/b", ".hidden", "", ".."}) {
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
