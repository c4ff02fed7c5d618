// The script watch callback runs a changed script again through dofile; the
// file watcher delivers changes between polls; reloads take only edits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/watchers.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/lua_state.h"

using testsupport::LuaState;

TEST(ScriptWatch, RunsTheChangedFileAgainAndSurvivesItsErrors) {
  testsupport::GameFolder game;
  game.write("assets/scripts/good.lua", "runs = (runs or 0) + 1\n");
  game.write("assets/scripts/bad.lua", "error('broken script')\n");
  LuaState lua;
  auto callback = watchers::scriptCallback(lua);

  std::string log = testsupport::captureOutput([&] {
    callback(filesystem::MODIFIED, game.file("assets/scripts/good.lua"));
    callback(filesystem::REMOVED, game.file("assets/scripts/good.lua"));
    callback(filesystem::ADDED, game.file("assets/scripts/bad.lua"));
    lua.run("dofile = 5");
    callback(filesystem::MODIFIED, game.file("assets/scripts/good.lua"));
  });

  EXPECT_EQ(lua_gettop(lua), 0);
  lua.run("assert(runs == 2, tostring(runs))");
  EXPECT_EQ(testsupport::countLines(log, "Custom callback"), 4) << log;
  EXPECT_NE(log.find("Lua error: "), std::string::npos);
  EXPECT_NE(log.find("broken script"), std::string::npos);
}

TEST(FileWatch, EachChangedFileArrivesOnceAtTheNextPollRenamesIncluded) {
  testsupport::GameFolder game;
  game.write("scripts/old.lua", "");
  game.writeMain("");
  ASSERT_TRUE(filesystem::enableWatching());
  std::vector<std::string> seen;
  auto record = [&](filesystem::Change change, std::string path) {
    seen.push_back(std::to_string(change) + " " + path);
  };
  std::string log = testsupport::captureOutput([&] {
    filesystem::watch(game.file("scripts"), record);
    filesystem::watch(game.file("main.lua"), record);
    filesystem::watch(game.file("missing"), record);
  });
  EXPECT_TRUE(testsupport::linesInOrder(
      log, {"Watching " + game.file("scripts"), "Watching " + game.file("main.lua"),
            "Cannot watch " + game.file("missing") + ": No such file or directory"}))
      << log;

  game.write("scripts/a.lua", "1");
  game.write("scripts/a.lua", "2");
  game.write("scripts/.a.lua.swp", "");
  game.write("scripts/a.lua~", "");
  game.write("main.lua.new", "edited");
  ASSERT_EQ(rename(game.file("main.lua.new").c_str(), game.file("main.lua").c_str()), 0);
  ASSERT_EQ(remove(game.file("scripts/old.lua").c_str()), 0);
  filesystem::poll();
  EXPECT_EQ(seen, (std::vector<std::string>{"0 " + game.file("scripts/a.lua"),
                                            "2 " + game.file("main.lua"),
                                            "1 " + game.file("scripts/old.lua")}));
  seen.clear();
  filesystem::poll();
  EXPECT_TRUE(seen.empty());

  filesystem::stopWatching();
  EXPECT_EQ(testsupport::captureOutput([&] { filesystem::watch(game.file("scripts"), record); }),
            "Watch not implemented on this platform\n");
}
