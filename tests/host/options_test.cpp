// The command line, parsed without starting anything.
#include <gtest/gtest.h>

#include "host/options.h"

namespace {
options::Outcome parse(std::vector<std::string> args, Options& result, std::string& message) {
  std::vector<char*> argv = {const_cast<char*>("tarnwick")};
  for (auto& arg : args) argv.push_back(arg.data());
  return options::parse(static_cast<int>(argv.size()), argv.data(), result, message);
}
}  // namespace

TEST(Options, DefaultsRunTheCurrentFolderInRealTime) {
  Options result;
  std::string message;
  EXPECT_EQ(parse({}, result, message), options::Outcome::RUN);
  EXPECT_EQ(result.gameDir, ".");
  EXPECT_FALSE(result.windowed);
  EXPECT_EQ(result.frames, 0);
  EXPECT_EQ(result.fixedDtMs, -1);
}

TEST(Options, EveryOptionTakesItsValue) {
  Options result;
  std::string message;
  EXPECT_EQ(parse({"--windowed", "--frames", "3", "--fixed-dt", "16", "--screenshot", "a.png",
                   "--seed", "-9007199254740992", "game"},
                  result, message),
            options::Outcome::RUN);
  EXPECT_TRUE(result.seedGiven);
  EXPECT_EQ(result.seed, -9007199254740992LL);
  EXPECT_TRUE(result.windowed);
  EXPECT_EQ(result.frames, 3);
  EXPECT_EQ(result.fixedDtMs, 16);
  EXPECT_EQ(result.screenshot, "a.png");
  EXPECT_EQ(result.gameDir, "game");
}

TEST(Options, BadInputIsNamed) {
  struct Case {
    std::vector<std::string> args;
    std::string named;
  };
  for (const Case& c : std::vector<Case>{{{"--bogus"}, "--bogus"},
                                         {{"--frames", "0"}, "--frames"},
                                         {{"--frames", "3x"}, "3x"},
                                         {{"--frames"}, "--frames"},
                                         {{"--fixed-dt", "-1"}, "-1"},
                                         {{"--screenshot"}, "--screenshot"},
                                         {{"--seed", "1.5"}, "1.5"},
                                         {{"--seed", "9007199254740993"}, "9007199254740993"},
                                         {{"--new"}, "--new"},
                                         {{"a", "b"}, "b"}}) {
    Options result;
    std::string message;
    EXPECT_EQ(parse(c.args, result, message), options::Outcome::BAD) << c.named;
    EXPECT_NE(message.find(c.named), std::string::npos) << message;
  }
}

TEST(Options, ConvertModelTakesTwoFilesAndAnOptionalAnimation) {
  Options result;
  std::string message;
  EXPECT_EQ(parse({"--convert-model", "in.obj", "out.mod", "--animation", "spin.lua"}, result,
                  message),
            options::Outcome::CONVERT);
  EXPECT_EQ(result.convertObj, "in.obj");
  EXPECT_EQ(result.convertMod, "out.mod");
  EXPECT_EQ(result.convertAnimation, "spin.lua");

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--convert-model", "in.obj"},
           {"--convert-model", "in.obj", "out.mod", "--animation"},
           {"--animation", "spin.lua"},
           {"--convert-model", "in.obj", "out.mod", "game"}}) {
    Options bad;
    EXPECT_EQ(parse(args, bad, message), options::Outcome::BAD) << args.back();
  }
}

TEST(Options, NewNamesTheFolderToWriteInsteadOfRunning) {
  Options result;
  std::string message;
  EXPECT_EQ(parse({"--new", "mygame"}, result, message), options::Outcome::NEW_GAME);
  EXPECT_EQ(result.newGame, "mygame");
}

TEST(Options, PackagingCommandsTakeAGameFolderAndWhatToWrite) {
  Options result;
  std::string message;
  EXPECT_EQ(parse({"--bundle", "game", "out"}, result, message), options::Outcome::SHIP);
  EXPECT_EQ(result.ship, "bundle");
  EXPECT_EQ(result.shipGame, "game");
  EXPECT_EQ(result.shipOut, "out");
  EXPECT_FALSE(result.gameGiven);
  Options bad;
  EXPECT_EQ(parse({"--fuse", "game"}, bad, message), options::Outcome::BAD);
  EXPECT_EQ(message, "tarnwick: --fuse needs a game folder and what to write");
  Options run;
  EXPECT_EQ(parse({"game.zip"}, run, message), options::Outcome::RUN);
  EXPECT_TRUE(run.gameGiven);
}
