// The cameras a frame finds, remembered between searches while the frame
// loop allows it and nothing has changed the scene.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/nodefields.h"
#include "core/runstate.h"
#include "scene/cameras.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
struct Found {
  std::vector<std::string> layers;
  std::vector<glm::mat4> projections;
};

Found findCameras(LuaState& lua) {
  Found found;
  BatchMatrix matrix;
  lua.pushGlobal("world");
  cameras::forEach(lua, matrix, [&](lua_State*, const cameras::Camera& camera) {
    found.layers.push_back(camera.layer);
    found.projections.push_back(camera.projection);
  });
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);
  return found;
}

class RememberedCameras : public ::testing::Test {
 protected:
  void SetUp() override {
    screenWidth = designWidth = 200;
    screenHeight = designHeight = 100;
  }
  void TearDown() override { cameras::setRemembering(false); }
};
}  // namespace

TEST_F(RememberedCameras, AreHandedOutAsFoundUntilTheSceneMayHaveChanged) {
  LuaState lua;
  lua.run("world = { x = 10, camera = { layer = 'a' },\n"
          "  { x = 5, { y = 3, rotation = 90, camera = { layer = 'b', x = 1 } } } }");
  Found searched = findCameras(lua);
  // Array entries come before the named fields in the search.
  ASSERT_EQ(searched.layers, (std::vector<std::string>{"b", "a"}));

  cameras::setRemembering(true);
  findCameras(lua);
  // Added behind the walk's back: what was found before is handed out again,
  // with each camera's ancestry as the search left it.
  lua.run("world[2] = { camera = { layer = 'c' } }");
  Found remembered = findCameras(lua);
  EXPECT_EQ(remembered.layers, searched.layers);
  for (size_t i = 0; i < searched.projections.size(); ++i)
    EXPECT_EQ(remembered.projections[i], searched.projections[i]) << i;

  nodefields::invalidate();  // as script code running would
  EXPECT_EQ(findCameras(lua).layers, (std::vector<std::string>{"b", "c", "a"}));
  cameras::setRemembering(false);
  lua.run("world[2] = nil");
  EXPECT_EQ(findCameras(lua).layers, searched.layers);

  // Another interpreter's scene is searched, even at the same address.
  cameras::setRemembering(true);
  LuaState other;
  other.run("world = { camera = { layer = 'z' } }");
  EXPECT_EQ(findCameras(other).layers, (std::vector<std::string>{"z"}));
}
