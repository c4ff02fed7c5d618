// Named off-screen render targets: creation, lookup and clearing. Targets are
// never removed; remaking one under the same name replaces its framebuffer,
// colour texture and depth texture.
#include <cstdlib>
#include <string>

#include "core/log.h"
#include "render/glcapabilities.h"
#include "render/glcheck.h"
#include "render/graphics.h"
#include "render/rendertarget_size.h"
#include "render/screen.h"

std::map<std::string, RenderTarget> renderTargets;

namespace {
void setLinearClamped(GLenum target) {
  glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

// The depth texture attached to `frameBuffer`, or 0. The record does not
// keep it, so it is asked of the framebuffer before that is deleted.
GLuint attachedDepthTexture(GLuint frameBuffer) {
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
  GLint type = GL_NONE, name = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
  if (type == GL_TEXTURE)
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
  glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(bound));
  return static_cast<GLuint>(name);
}

// False when GL had no memory for the depth texture; nothing is attached then.
bool attachDepthTexture(int width, int height) {
  GLuint depth = 0;
  glGenTextures(1, &depth);
  glcheck::check("glGenTextures depth");
  glBindTexture(GL_TEXTURE_2D, depth);
  glcheck::check("glBindTexture depth");
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_INT, nullptr);
  if (!glcheck::allocated("glTexImage2D depth")) {
    glDeleteTextures(1, &depth);
    return false;
  }
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
  return true;
}

// Why this GL cannot draw into a target of these formats, or empty. Desktop GL
// takes every format a game can name; WebGL 2 renders to float textures only
// with an extension, and takes float pixels in sized formats only.
std::string unsupportedFormat(GLint internalFormat, GLenum type) {
  if (!glcapabilities::current().floatTargetsSizedOnly) return "";
  bool sizedFloat = internalFormat == GL_R32F || internalFormat == GL_RG32F;
  if (type == GL_FLOAT && !sizedFloat)
    return "WebGL takes float pixels only in GL_R32F or GL_RG32F";
  if (!sizedFloat) return "";
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const char* name =
        reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (name && std::string(name).find("EXT_color_buffer_float") != std::string::npos) return "";
  }
  return "drawing into a float format needs the browser's EXT_color_buffer_float, which it lacks";
}

// What a target that GL has no memory for made so far, deleted.
RenderTarget abandon(GLuint frameBuffer, GLuint texture) {
  gr_deleteRenderTarget(RenderTarget{frameBuffer, texture, 0, 0});
  return RenderTarget{};
}

}  // namespace

bool gr_targetSizeAllowed(const std::string& name, int width, int height) {
  if (width <= 0 || height <= 0) {
    DLOG(LogLevel::Error,
         "Render target %s needs a positive width and height (got %d x %d), not created\n",
         name.c_str(), width, height);
    return false;
  }
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  if (width <= limit && height <= limit) return true;
  DLOG(LogLevel::Error, "Render target %s of %d x %d pixels refused: GL allows at most %d a side\n",
       name.c_str(), width, height, static_cast<int>(limit));
  return false;
}

bool gr_createRenderTarget(int width, int height, std::string name, GLint internalFormat,
                           GLenum format, GLenum type, bool depth) {
  if (!gr_targetSizeAllowed(name, width, height)) return false;
  std::string unsupported = unsupportedFormat(internalFormat, type);
  if (!unsupported.empty()) {
    DLOG(LogLevel::Error, "Render target %s refused: %s\n", name.c_str(), unsupported.c_str());
    return false;
  }
  DLOG(LogLevel::Info, "Gen depth\n");
  RenderTarget made = gr_newRenderTarget(width, height, internalFormat, format, type, depth);
  if (!made.frameBuffer) {
    DLOG(LogLevel::Error, "Render target %s of %d x %d pixels refused: GL has no memory for it\n",
         name.c_str(), width, height);
    return false;
  }
  if (RenderTarget* old = gr_getRenderTarget(name)) gr_deleteRenderTarget(*old);
  renderTargets[name] = made;
  return true;
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
  if (!glcheck::allocated("glTexImage2D")) return abandon(frameBuffer, texture);
  setLinearClamped(GL_TEXTURE_2D);
  glcheck::check("glTexParameteri");
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
  glcheck::check("glFramebufferTexture2D");

  if (depth && !attachDepthTexture(width, height)) return abandon(frameBuffer, texture);

  GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE)
    glcheck::fatal("Frame buffer status check failed: %d\n", static_cast<int>(status));
  return RenderTarget{frameBuffer, texture, width, height};
}

void gr_deleteRenderTarget(const RenderTarget& target) {
  if (GLuint depth = attachedDepthTexture(target.frameBuffer)) glDeleteTextures(1, &depth);
  glDeleteFramebuffers(1, &target.frameBuffer);
  glDeleteTextures(1, &target.texture);
}

RenderTarget* gr_getRenderTarget(const std::string& name) {
  auto found = renderTargets.find(name);
  return found == renderTargets.end() ? nullptr : &found->second;
}

void gr_clearRenderTargets() {
  for (auto& entry : renderTargets) gr_clearTarget(entry.second);
}

void gr_prepareFrameBuffer() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  DLOG(LogLevel::Warning, "frame buffer status: %d",
       static_cast<int>(glCheckFramebufferStatus(GL_FRAMEBUFFER)));
}
