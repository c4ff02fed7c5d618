// The GL entry points: GLEW's on the desktop, OpenGL ES 3 (WebGL 2) on a page.
// The one compile-time choice of the renderer; what the context can do is in
// render/glcapabilities.h.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
// ES names the float form only.
#define glClearDepth glClearDepthf
#else
#include <GL/glew.h>
// The entry points are loaded at run time, once a context exists.
#define TARNWICK_GL_LOADER 1
#endif
