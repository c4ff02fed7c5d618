// The size check every render target passes before GL is asked for it: a
// size GL refuses would end the run, so such a target is left out instead.
#pragma once

#include <string>

// True when GL can make a render target of this size; otherwise false, with
// one log line naming the target (not positive, or over GL_MAX_TEXTURE_SIZE).
bool gr_targetSizeAllowed(const std::string& name, int width, int height);
