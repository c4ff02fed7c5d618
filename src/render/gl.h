// The GL entry points: GLEW's on the desktop, OpenGL ES 3 (WebGL 2) on a page.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
// ES names the float form only.
#define glClearDepth glClearDepthf
#else
#include <GL/glew.h>
#endif
