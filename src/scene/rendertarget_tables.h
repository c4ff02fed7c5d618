// Render targets that the script describes in its global renderTextureTargets
// table (name -> {width, height, internalFormat, format, type, depth}).
#pragma once

#include <lua.hpp>

// Makes every target described in the global renderTextureTargets; entries
// without a size a target can have (see gr_targetSizeAllowed), or not under a
// string key, are skipped with a log line. Leaves the stack as it found it.
void createRenderTargets(lua_State* L);
