// What the GL context can do, as the renderer needs to know it: filled once
// from the platform's description of its context, read by the renderer
// instead of compile-time branches.
#pragma once

namespace glcapabilities {
struct Record {
  // glGetError after each call costs little. In a browser every call waits for
  // the GPU process to finish all that was sent (and WebGL reports its errors
  // on the console itself).
  bool errorChecksCheap;
  // Float pixels only in sized one- or two-channel formats (GL_R32F,
  // GL_RG32F), and drawing into them needs EXT_color_buffer_float (WebGL 2).
  bool floatTargetsSizedOnly;
  // Draws read vertices and indices from buffers only, not client memory.
  bool streamBuffersNeeded;
  // The process keeps one context for its life, so a GL object made once stays
  // valid (a page); elsewhere tests open several contexts in one process.
  bool oneContextForLife;
};

// The record for this platform's context.
const Record& current();
}  // namespace glcapabilities
