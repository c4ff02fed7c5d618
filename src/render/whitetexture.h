// The stand-in texture for shaders that sample a texture where none is named.
#pragma once

#include "render/gl.h"

// A 1 × 1 opaque white texture, made on first use in the current context and
// kept for the run. Sampling it gives exactly (1, 1, 1, 1), so a shader that
// multiplies by it draws as if it sampled nothing.
GLuint gr_whiteTexture();
