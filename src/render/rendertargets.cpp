// Named off-screen render targets: creation (also from the script's
// renderTextureTargets table), lookup and clearing. Targets are never removed;
// remaking one under the same name replaces its framebuffer and colour texture.
#include <lua.hpp>

#include <cstdlib>

#include "host/log.h"
#include "host/luautils.h"
#include "render/glcheck.h"
#include "render/graphics.h"

std::map<std::string, RenderTarget> renderTargets;

namespace {
void setLinearClamped(GLenum target) {
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void attachDepthTexture(int width, int height) {
  GLuint depth = 0;
  glGenTextures(1, &depth);
  glcheck::check("glGenTextures depth");
  glBindTexture(GL_TEXTURE_2D, depth);
  glcheck::check("glBindTexture depth");
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
               GL_BYTE, nullptr);
  glcheck::check("glTexImage2D depth");
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glcheck::check("glTexParameteri depth mag filter");
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glcheck::check("glTexParameteri depth min filter");
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glcheck::check("glTexParameteri depth wrap s filter");
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glcheck::check("glTexParameteri depth wrap t filter");
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth, 0);
  glcheck::check("glFramebufferTexture2D depth");
}

// The GL value a description's format string names, or `otherwise`.
GLenum formatValue(const std::string& text, std::initializer_list<std::pair<const char*, GLenum>> known,
                   GLenum otherwise) {
  for (const auto& entry : known)
    if (text == entry.first) return entry.second;
  return otherwise;
}

// Creates the target described by the table on top of the stack.
void createDescribedTarget(lua_State* L, const std::string& name) {
  float width = 0, height = 0;
  getNumber<float>(L, "width", &width);
  getNumber<float>(L, "height", &height);
  int pixelsWide = luautils::truncateToInt(width), pixelsHigh = luautils::truncateToInt(height);
  // A target needs a size; without one GL would fail and end the run.
  if (pixelsWide <= 0 || pixelsHigh <= 0) {
    DLOG("Render target %s needs a positive width and height (got %d x %d), not created\n",
         name.c_str(), pixelsWide, pixelsHigh);
    return;
  }
  GLint internalFormat = static_cast<GLint>(formatValue(
      getString(L, "internalFormat"), {{"GL_RG32F", GL_RG32F}, {"GL_R32F", GL_R32F}}, GL_RGBA));
  GLenum format =
      formatValue(getString(L, "format"), {{"GL_RG", GL_RG}, {"GL_RED", GL_RED}}, GL_RGBA);
  GLenum type = formatValue(getString(L, "type"), {{"GL_FLOAT", GL_FLOAT}}, GL_UNSIGNED_BYTE);
  bool depth = true;
  getBool(L, "depth", &depth);

  DLOG("Create target %s\n", name.c_str());
  gr_createRenderTarget(pixelsWide, pixelsHigh, name, internalFormat, format, type, depth);
  DLOG("Target created\n");
}
}  // namespace

void gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth) {
  if (RenderTarget* old = gr_getRenderTarget(name)) {
    glDeleteFramebuffers(1, &old->frameBuffer);
    glDeleteTextures(1, &old->texture);
  }
  DLOG("Gen depth\n");
  renderTargets[name] = gr_newRenderTarget(width, height, internalFormat, format, type, depth);
}

RenderTarget gr_newRenderTarget(int width, int height, GLint internalFormat, GLenum format,
                                GLenum type, bool depth) {
  GLuint frameBuffer = 0;
  glGenFramebuffers(1, &frameBuffer);
  glcheck::check("glGenFramebuffers");
  glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
  glcheck::check("glBindFramebuffer");

  GLuint texture = 0;
  glGenTextures(1, &texture);
  glcheck::check("glGenTextures");
  glBindTexture(GL_TEXTURE_2D, texture);
  glcheck::check("glBindTexture");
  glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
  glcheck::check("glTexImage2D");
  setLinearClamped(GL_TEXTURE_2D);
  glcheck::check("glTexParameteri");
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
  glcheck::check("glFramebufferTexture2D");

  if (depth) attachDepthTexture(width, height);

  GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE)
    glcheck::fatal("Frame buffer status check failed: %d\n", static_cast<int>(status));
  return RenderTarget{frameBuffer, texture, width, height};
}

RenderTarget* gr_getRenderTarget(const std::string& name) {
  auto found = renderTargets.find(name);
  return found == renderTargets.end() ? nullptr : &found->second;
}

void gr_clearRenderTargets() {
  for (auto& entry : renderTargets) {
    glBindFramebuffer(GL_FRAMEBUFFER, entry.second.frameBuffer);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
}

void gr_prepareFrameBuffer() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  DLOG("frame buffer status: %d", static_cast<int>(glCheckFramebufferStatus(GL_FRAMEBUFFER)));
}

void createRenderTargets(lua_State* L) {
  DLOG("Create rendertargets\n");
  lua_getglobal(L, "renderTextureTargets");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    // Converting a non-string key in place would break lua_next; such keys
    // name no target.
    if (lua_type(L, -2) == LUA_TSTRING)
      createDescribedTarget(L, lua_tostring(L, -2));
    else
      DLOG("Render target key of type %s is not a name, skipped\n", luaL_typename(L, -2));
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
}
