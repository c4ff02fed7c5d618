// The script watch callback runs a changed script again through dofile.
#include <gtest/gtest.h>


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
