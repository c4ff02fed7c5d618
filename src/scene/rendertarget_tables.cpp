// Render targets described by the script's renderTextureTargets table.
#include "scene/rendertarget_tables.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "core/log.h"
#include "core/luautils.h"
#include "render/graphics.h"
#include "render/rendertarget_size.h"

namespace {
// The GL value a description's format string names, or `otherwise`.
GLenum formatValue(const std::string& text, std::initializer_list<std::pair<const char*, GLenum>> known,
                   GLenum otherwise) {
  for (const auto& entry : known)
    if (text == entry.first) return entry.second;
  return otherwise;
}

// Creates the target described by the table on top of the stack.
void createDescribedTarget(lua_State* L, const std::string& name) {
  float width = 0, height = 0;
  getNumber<float>(L, "width", &width);
  getNumber<float>(L, "height", &height);
  int pixelsWide = luautils::truncateToInt(width), pixelsHigh = luautils::truncateToInt(height);
  if (!gr_targetSizeAllowed(name, pixelsWide, pixelsHigh)) return;
  GLint internalFormat = static_cast<GLint>(formatValue(
      getString(L, "internalFormat"), {{"GL_RG32F", GL_RG32F}, {"GL_R32F", GL_R32F}}, GL_RGBA));
  GLenum format =
      formatValue(getString(L, "format"), {{"GL_RG", GL_RG}, {"GL_RED", GL_RED}}, GL_RGBA);
  GLenum type = formatValue(getString(L, "type"), {{"GL_FLOAT", GL_FLOAT}}, GL_UNSIGNED_BYTE);
  bool depth = true;
  getBool(L, "depth", &depth);

  DLOG(LogLevel::Info, "Create target %s\n", name.c_str());
  if (gr_createRenderTarget(pixelsWide, pixelsHigh, name, internalFormat, format, type, depth))
    DLOG(LogLevel::Info, "Target created\n");
}
}  // namespace

void createRenderTargets(lua_State* L) {
  DLOG(LogLevel::Info, "Create rendertargets\n");
  luautils::pushGlobal(L, "renderTextureTargets");
  if (!lua_istable(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushnil(L);
  while (lua_next(L, -2) != 0) {
    // Converting a non-string key in place would break lua_next; such keys
    // name no target.
    if (lua_type(L, -2) == LUA_TSTRING)
      createDescribedTarget(L, lua_tostring(L, -2));
    else
      DLOG(LogLevel::Warning, "Render target key of type %s is not a name, skipped\n",
           luaL_typename(L, -2));
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
}
