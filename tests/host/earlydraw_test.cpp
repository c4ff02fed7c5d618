// Early draws of the first camera during the scene walk: the frame's picture
// is the one drawing after the walk gives, and script code in the walk turns
// them off.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "assets/resources.h"
#include "host/earlydraw.h"
#include "host/frameloop.h"
#include "host/sdlutils.h"
#include "render/graphics.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"

using testsupport::LuaState;

namespace {
// Runs of two textures over 3000 nodes, some tinted: far more triangles than
// one early draw takes, in many batches. From frame `scriptFrom` on, the last
// node has an onUpdate that turns the background blue.
std::string scene(int scriptFrom) {
  return "world = { camera = {} }\n"
         "for i = 0, 2999 do\n"
         "  local node = { texture = (i % 40 < 25) and 'dot' or 'blob',\n"
         "                 x = (i * 37) % 300 - 150, y = (i * 53) % 220 - 110 }\n"
         "  if i % 97 == 0 then node.uniforms = { color = { 1, 0.5, 0.5, 1 } } end\n"
         "  world[#world + 1] = node\n"
         "end\n"
         "local frame = 0\n"
         "function update()\n"
         "  frame = frame + 1\n"
         "  if frame == " +
         std::to_string(scriptFrom) +
         " then\n"
         "    world[#world].onUpdate = function() clearColor = { red = 0, green = 0, blue = 1 } end\n"
         "  end\n"
         "end\n";
}

class EarlyDraw : public testsupport::GLTest {
 protected:
  void SetUp() override {
    window = sdlWindow();
    // Early draws wait for a run without render targets.
    renderTargets.swap(savedTargets);
    addTexture("dot", 2, 255);
    addTexture("blob", 8, 128);
  }
  void TearDown() override {
    for (auto& entry : sheets) {
      GLuint texture = static_cast<GLuint>(entry.second.texture);
      glDeleteTextures(1, &texture);
      resources::textures.erase(entry.first);
    }
    renderTargets.swap(savedTargets);
    earlydraw::setEnabled(true);
    window = nullptr;
  }

  void addTexture(const std::string& name, int side, unsigned char shade) {
    std::vector<unsigned char> pixels(static_cast<size_t>(side * side * 4), shade);
    resources::Sheet& sheet = sheets[name];
    sheet.width = sheet.height = side;
    sheet.texture = static_cast<int>(
        gr_createTexture(pixels.data(), side, side, 1, GL_RGBA, GL_RGBA, GL_REPEAT, 1));
    resources::textures[name] = &sheet;
  }

  struct Run {
    testsupport::Picture picture;  // after the last frame
    unsigned long calls = 0;       // draw calls of the last frame
  };
  Run run(bool early, int frames, int scriptFrom) {
    earlydraw::setEnabled(early);
    LuaState lua;
    lua.run(scene(scriptFrom));
    Run result;
    for (int frame = 0; frame < frames; ++frame) {
      unsigned long before = gr_drawCalls();
      frameloop::runFrame(lua, 16);
      result.calls = gr_drawCalls() - before;
    }
    result.picture = windowPicture();
    return result;
  }

  std::map<std::string, resources::Sheet> sheets;
  std::map<std::string, RenderTarget> savedTargets;
};
}  // namespace

TEST_F(EarlyDraw, AScriptFreeWalkDrawsEarlyWithTheSamePicture) {
  Run after = run(false, 3, 100);
  Run early = run(true, 3, 100);
  EXPECT_GT(early.calls, after.calls);
  EXPECT_EQ(early.picture.rgba, after.picture.rgba);
}

TEST_F(EarlyDraw, ScriptCodeAfterAnEarlyDrawRedrawsTheFrameAndEndsEarlyDraws) {
  // Frame 3 runs the onUpdate after its early draws.
  Run after = run(false, 3, 3);
  Run early = run(true, 3, 3);
  EXPECT_GT(early.calls, after.calls);  // the early draws, then the whole frame
  EXPECT_EQ(early.picture.rgba, after.picture.rgba);
  EXPECT_EQ(early.picture.at(0, 0), (testsupport::RGBA{0, 0, 255, 255}));
  // From then on every walk runs script code: no early draws at all.
  EXPECT_EQ(run(true, 5, 3).calls, run(false, 5, 3).calls);
}
