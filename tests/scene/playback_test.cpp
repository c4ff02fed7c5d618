// Playback from a model node's fields: the frame number the model pass plays
// the whole model tree at.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "scene/playback.h"
#include "support/lua_state.h"

namespace {
animation::Curve curve(animation::Target target, std::initializer_list<uint32_t> frames) {
  animation::Curve c;
  c.target = target;
  for (uint32_t frame : frames) c.keyFrames[frame] = animation::KeyFrame();
  return c;
}
}  // namespace

// A node plays its model from framesPerSecond: one frame number for the whole
// tree, looping at the last key frame of any part unless `frames` says
// otherwise, holding the last pose with loop = false.
TEST(Playback, TheNodesFieldsGiveTheFrameForTheWholeTree) {
  model::Model tree;
  tree.animation.curves.push_back(curve(animation::TRANSLATION, {0, 12}));
  tree.children.emplace_back();
  tree.children[0].animation.curves.push_back(curve(animation::SCALE, {20}));
  EXPECT_EQ(playback::lastKeyFrame(tree), 20u);

  testsupport::LuaState lua;
  auto frameAt = [&](const char* node, float clock) {
    lua.run(std::string("node = ") + node);
    lua.pushGlobal("node");
    std::optional<float> frame = playback::frameFor(lua, tree, clock);
    lua_pop(lua, 1);
    EXPECT_EQ(lua_gettop(lua), 0);
    return frame;
  };
  EXPECT_FALSE(frameAt("{}", 5).has_value());
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 24 }", 0.25f), 6);
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 24 }", 1), 4);  // 24 wraps at 20
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 24, loop = false }", 1), 20);
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 24, frames = 10 }", 1), 4);
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 24, animationTime = 0.5 }", 1), 12);
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = function() return 24 end, animationTime = -0.25 }", 1), 14);
  EXPECT_FLOAT_EQ(*frameAt("{ framesPerSecond = 1/0 }", 1), 0);
}
