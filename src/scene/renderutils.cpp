// Shader names and uniform values read from scene nodes: a number becomes one
// float, a string the GL name of the texture or render target so named, a table
// its array entries as floats. Nothing is cached: every call reads the tables.
#include "scene/renderutils.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "core/log.h"
#include "render/sheets.h"

namespace renderutils {
namespace {
// An unknown name samples no texture.
GLuint textureNamed(const char* name, const std::string& uniform) {
  TextureRef texture;
  if (gr_findTexture(name, &texture)) return texture.name;
  DLOG("Failed to find texture %s for uniform %s\n", name, uniform.c_str());
  return 0;
}

// The array entries of the table on top as floats; function entries are
// resolved with the value at absolute index `node`.
void readFloats(lua_State* L, int node, float* values, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    lua_rawgeti(L, -1, static_cast<int>(i + 1));
    luautils::resolveTop(L, node);
    values[i] = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
  }
}

// Converts the key/value pair on top into a uniform, resolving functions with
// the value at absolute index `node`. Keys that are not strings are skipped.
void readPair(lua_State* L, int node, std::map<std::string, Uniform>& uniforms) {
  if (lua_type(L, -2) != LUA_TSTRING) return;
  size_t length = 0;
  const char* key = lua_tolstring(L, -2, &length);
  std::string name(key, length);

  // Resolve a copy: the value slot belongs to the caller's traversal.
  lua_pushvalue(L, -1);
  luautils::resolveTop(L, node);
  switch (lua_type(L, -1)) {
    case LUA_TNUMBER:
      if (float* value = static_cast<float*>(malloc(sizeof(float)))) {
        *value = static_cast<float>(lua_tonumber(L, -1));
        addUniform(uniforms, name, sizeof(float), value);
      }
      break;
    case LUA_TSTRING:
      if (GLuint* value = static_cast<GLuint*>(malloc(sizeof(GLuint)))) {
        *value = textureNamed(lua_tostring(L, -1), name);
        addUniform(uniforms, name, sizeof(GLuint), value);
      }
      break;
    case LUA_TTABLE: {
      size_t count = lua_objlen(L, -1);
      size_t size = sizeof(float) * count;
      float* values = static_cast<float*>(malloc(size));
      if (values || size == 0) {
        readFloats(L, node, values, count);
        addUniform(uniforms, name, size, values);
      }
      break;
    }
    default:
      break;  // booleans, userdata and nil make no uniform
  }
  lua_pop(L, 1);
}
}  // namespace

void getShaders(std::string& vs, std::string& ps, lua_State* L) {
  getString(L, "vs", vs);
  getString(L, "fs", ps);
}

void addUniform(std::map<std::string, Uniform>& uniforms, std::string name, size_t size,
                void* value) {
  uniforms[name] = Uniform(size, value);
}

void addCopy(std::map<std::string, Uniform>& uniforms, std::string name, const void* value,
             size_t size) {
  void* buffer = malloc(size);
  if (!buffer) return;
  memcpy(buffer, value, size);
  addUniform(uniforms, std::move(name), size, buffer);
}

void readUniform(lua_State* L, std::map<std::string, Uniform>& uniforms) {
  if (lua_gettop(L) < 3) return;
  readPair(L, lua_gettop(L) - 2, uniforms);
}

void getPrefixedUniforms(lua_State* L, std::map<std::string, Uniform>& result) {
  if (lua_gettop(L) == 0 || !lua_istable(L, -1)) return;
  int node = lua_gettop(L);
  lua_pushnil(L);
  while (lua_next(L, node) != 0) {
    // Only string keys are looked at as text: converting a number key in place
    // would break the traversal.
    if (lua_type(L, -2) == LUA_TSTRING) {
      size_t length = 0;
      const char* key = lua_tolstring(L, -2, &length);
      if (length >= 2 && key[0] == 'u' && key[1] == '_') readPair(L, node, result);
    }
    lua_pop(L, 1);
  }
}

std::map<std::string, Uniform> getUniforms(lua_State* L) {
  std::map<std::string, Uniform> uniforms;
  if (lua_gettop(L) == 0) return uniforms;
  getPrefixedUniforms(L, uniforms);
  int node = lua_gettop(L);
  luautils::pushResolvedField(L, node, "uniforms");
  if (lua_istable(L, -1)) {
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
      readPair(L, node, uniforms);
      lua_pop(L, 1);
    }
  }
  lua_pop(L, 1);
  return uniforms;
}
}  // namespace renderutils
