// Camera projections: extents and fit, the perspective rules, cameras whose view
// is empty, and a camera nested in the scene as `find` reaches it.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "core/runstate.h"
#include "scene/scene_test_util.h"
#include "scene/transforms.h"
#include "support/capture.h"
#include "support/lua_state.h"

using scenetest::expectNear;
using testsupport::LuaState;

namespace {
const glm::mat4 I(1.0f);
const float FOV_FACTOR = 0.017453292f;

void setScreen(int width, int height, int design_width, int design_height) {
  screenWidth = width;
  screenHeight = height;
  designWidth = design_width;
  designHeight = design_height;
}

glm::mat4 ortho(float width, float height) {
  return glm::ortho(-width / 2, width / 2, -height / 2, height / 2, -10000.0f, 10000.0f);
}

// calcProjection of the camera table built by `code`, alone on the stack.
glm::mat4 projectionOf(LuaState& lua, const std::string& camera) {
  lua.run("camera = " + camera);
  lua.pushGlobal("camera");
  glm::mat4 m = transforms::calcProjection(lua);
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);
  return m;
}
}  // namespace

TEST(CameraExtents, HeightWidthAndFitOnA1280By720Drawable) {
  LuaState lua;
  setScreen(1280, 720, 1280, 720);
  expectNear(projectionOf(lua, "{ x = 3 }"),
             ortho(1280, 720) * glm::inverse(glm::translate(I, {3, 0, 0})));
  expectNear(projectionOf(lua, "{ height = 10, width = 99 }"), ortho(1280.0f * 10 / 720, 10));
  expectNear(projectionOf(lua, "{ fit = 'width', width = 20 }"), ortho(20, 11.25f));
  // Any other fit keeps both extents, stretching with the window.
  expectNear(projectionOf(lua, "{ fit = 'both', width = 20, height = 10 }"), ortho(20, 10));
}

TEST(PerspectiveCameras, FovOrProjectionSelectItAndFitWidthCorrectsTheFov) {
  LuaState lua;
  setScreen(1280, 720, 1280, 720);
  float aspect = 1280.0f / 720.0f;
  expectNear(projectionOf(lua, "{ fov = 60, projection = 'ortho' }"),
             glm::perspective(60 * FOV_FACTOR, aspect, 0.1f, 1000.0f));
  expectNear(projectionOf(lua, "{ projection = 'perspective', z = 5 }"),
             glm::perspective(45 * FOV_FACTOR, aspect, 0.1f, 1000.0f) *
                 glm::inverse(glm::translate(I, {0, 0, 5})));

  // Designed for 1280 × 720, shown on 1024 × 768: 45 × (1.7778 / 1.3333) = 60.
  setScreen(1024, 768, 1280, 720);
  expectNear(projectionOf(lua, "{ projection = 'perspective', fit = 'width' }"),
             glm::perspective(60 * FOV_FACTOR, 1024.0f / 768.0f, 0.1f, 1000.0f));
}

TEST(PerspectiveCameras, AnEmptyOrNonFiniteViewGivesTheZeroMatrixLoggedOnce) {
  LuaState lua;
  setScreen(1280, 720, 1280, 720);
  const glm::mat4 zero(0.0f);
  std::string log = testsupport::captureOutput([&] {
    EXPECT_EQ(projectionOf(lua, "{ projection = 'perspective', fit = 'width', width = 0 }"), zero);
    EXPECT_EQ(projectionOf(lua, "{ fov = 45, fit = 'both', width = 0, height = 0 }"), zero);
    EXPECT_EQ(projectionOf(lua, "{ fit = 'both', width = 0 }"), zero);
    EXPECT_EQ(projectionOf(lua, "{ scale = 0 }"), zero);
    setScreen(1280, 0, 1280, 720);  // a minimised window
    EXPECT_EQ(projectionOf(lua, "{ projection = 'perspective' }"), zero);
  });
  EXPECT_EQ(log,
            "Camera with an empty or non-finite view draws nothing\n");
  EXPECT_EQ(transforms::calcProjection(lua), zero);

  setScreen(1280, 720, 1280, 720);
  expectNear(projectionOf(lua, "{}"), ortho(1280, 720));
}

TEST(CameraInScene, ProjectionOfACameraTwoLevelsDeepAsFindReachesIt) {
  LuaState lua;
  setScreen(1280, 720, 1280, 720);
  lua.run(
      "world = { x = 10, scale = 2,\n"
      "  { y = 20, { x = 5, camera = { x = 1, height = 10 } } },\n"
      "  named = { camera = { x = 500 } } }");
  lua.pushGlobal("world");
  int found = 0;
  glm::mat4 projection;
  find(lua, "camera", [&](lua_State* L) {
    ++found;
    EXPECT_EQ(lua_gettop(L), 7);  // world, key, child, key, grandchild, key, camera
    projection = transforms::calcProjection(L);
    EXPECT_EQ(lua_gettop(L), 7);
  });
  EXPECT_EQ(found, 1);
  EXPECT_EQ(lua_gettop(lua), 1);
  lua_pop(lua, 1);

  glm::mat4 view = glm::translate(glm::scale(glm::translate(I, {10, 0, 0}), {2, 2, 2}), {6, 20, 0});
  expectNear(projection, ortho(1280.0f * 10 / 720, 10) * glm::inverse(view));
}
