// Named off-screen render targets. (Creation arrives with the renderer.)
#include <lua.hpp>

#include "render/graphics.h"

std::map<std::string, RenderTarget> renderTargets;

void gr_createRenderTarget(int, int, std::string, GLint, GLenum, GLenum, bool) {}

RenderTarget* gr_getRenderTarget(const std::string& name) {
  auto found = renderTargets.find(name);
  return found == renderTargets.end() ? nullptr : &found->second;
}

void gr_clearRenderTargets() {}
void gr_prepareFrameBuffer() {}
void createRenderTargets(lua_State*) {}
