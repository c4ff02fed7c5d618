// The offscreen frame of a full-screen run whose display kept its own size,
// and its scaled copy into the window.
#include "render/screenframe.h"

#include "render/glcheck.h"
#include "render/graphics.h"

namespace {
RenderTarget frame;   // the offscreen frame, kept once made
bool inUse = false;   // drawing for the window goes to `frame`
}  // namespace

void gr_useScreenFrame(int width, int height) {
  inUse = width > 0 && height > 0;
  if (inUse && (frame.width != width || frame.height != height)) {
    if (frame.frameBuffer) gr_deleteRenderTarget(frame);
    frame = gr_newRenderTarget(width, height, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, true);
    // Without memory for the frame, the game is drawn into the window unscaled.
    inUse = frame.frameBuffer != 0;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, gr_screenFrameBuffer());
  glcheck::check("glBindFramebuffer screen frame");
  if (inUse) glViewport(0, 0, width, height);
}

GLuint gr_screenFrameBuffer() { return inUse ? frame.frameBuffer : 0; }

void gr_presentScreenFrame(int windowWidth, int windowHeight, const FramePlacement& placement) {
  if (!inUse) return;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, windowWidth, windowHeight);
  glClearColor(0, 0, 0, 1);
  // Only the copy lands here: the window's own depth is not used meanwhile.
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, frame.frameBuffer);
  // GL counts rows from the bottom; the placement counts them from the top.
  int bottom = windowHeight - placement.y - placement.height;
  glBlitFramebuffer(0, 0, frame.width, frame.height, placement.x, bottom,
                    placement.x + placement.width, bottom + placement.height,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glcheck::check("glBlitFramebuffer screen frame");
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, frame.width, frame.height);
}
