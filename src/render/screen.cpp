// Clearing, viewport, read-back and the context's description.
#include "render/screen.h"

#include <cstring>

#include "core/log.h"
#include "render/screenframe.h"

namespace {
// Most frames never test depth, and clearing it costs a software rasteriser a
// pass over the whole buffer; so the window's depth is cleared when the frame
// first tests it. Only depth-tested draws read or write depth, so the picture
// is the one an up-front clear gives.
bool depthClearPending = false;
GLuint depthClearFrameBuffer = 0;  // the window's framebuffer when it was cleared
}  // namespace

void gr_clearWindow(float red, float green, float blue) {
  GLuint frameBuffer = gr_screenFrameBuffer();
  glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer);
  glClearColor(red, green, blue, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  depthClearPending = true;
  depthClearFrameBuffer = frameBuffer;
}

void gr_prepareWindowDepth() {
  if (!depthClearPending) return;
  depthClearPending = false;
  // A window framebuffer swapped in since the clear was not cleared by it.
  if (depthClearFrameBuffer == gr_screenFrameBuffer()) glClear(GL_DEPTH_BUFFER_BIT);
}

void gr_clearTarget(const RenderTarget& target) {
  glBindFramebuffer(GL_FRAMEBUFFER, target.frameBuffer);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void gr_setViewport(int width, int height) { glViewport(0, 0, width, height); }

std::vector<unsigned char> gr_readWindow(int width, int height) {
  size_t rowBytes = static_cast<size_t>(width) * 4;
  std::vector<unsigned char> bottomUp(rowBytes * static_cast<size_t>(height));
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  // GL delivers the bottom row first.
  std::vector<unsigned char> topDown(bottomUp.size());
  for (int y = 0; y < height; ++y)
    memcpy(&topDown[static_cast<size_t>(y) * rowBytes],
           &bottomUp[static_cast<size_t>(height - 1 - y) * rowBytes], rowBytes);
  return topDown;
}

void gr_logContext() {
  // Without a context glGetString gives null; print an empty text instead.
  auto glText = [](GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
  };
  DLOG(LogLevel::Info, "gl_renderer: %s\n", glText(GL_RENDERER));
  DLOG(LogLevel::Info, "gl_context:  %s\n", glText(GL_VERSION));
  DLOG(LogLevel::Info, "gl_shading_lang_version:  %s\n", glText(GL_SHADING_LANGUAGE_VERSION));
  DLOG(LogLevel::Info, "gl_vendor: %s\n", glText(GL_VENDOR));
  GLint maxTextureSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
  DLOG(LogLevel::Info, "gl_max_texture_size: %d\n", maxTextureSize);
}
