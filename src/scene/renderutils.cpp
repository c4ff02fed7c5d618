// Shader names and uniform values read from scene nodes: a number becomes one
// float, a string the GL name of the texture or render target so named, a table
// its array entries as floats. Nothing is cached: every call reads the tables.
#include "scene/renderutils.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/diagnostics.h"
#include "core/log.h"
#include "render/sheets.h"

namespace renderutils {
namespace {
// An unknown name samples no texture.
GLuint textureNamed(const char* name, const char* uniform) {
  TextureRef texture;
  if (gr_findTexture(name, &texture)) return texture.name;
  diagnostics::logRepeated("texture " + std::string(name) + " for uniform " + uniform,
                           "Failed to find texture %s for uniform %s\n", name, uniform);
  return 0;
}

// The array entries of uniform `name`, the table on top, as floats; function
// entries are resolved with the value at absolute index `node`.
void readFloats(lua_State* L, int node, const char* name, std::vector<float>& values,
                size_t count) {
  values.resize(count);
  for (size_t i = 0; i < count; ++i) {
    lua_rawgeti(L, -1, static_cast<int>(i + 1));
    luautils::resolveTop(L, node, name);
    values[i] = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
  }
}

// Converts the key/value pair on top into a uniform, resolving functions with
// the value at absolute index `node`. Keys that are not strings are skipped.
void readPair(lua_State* L, int node, UniformSet& uniforms) {
  if (lua_type(L, -2) != LUA_TSTRING) return;
  size_t length = 0;
  const char* key = lua_tolstring(L, -2, &length);
  NameId name = gr_nameId(std::string(key, length));

  // Resolve a copy: the value slot belongs to the caller's traversal.
  lua_pushvalue(L, -1);
  luautils::resolveTop(L, node, gr_nameText(name).c_str());
  switch (lua_type(L, -1)) {
    case LUA_TNUMBER: {
      float value = static_cast<float>(lua_tonumber(L, -1));
      uniforms.set(name, &value, sizeof value);
      break;
    }
    case LUA_TSTRING: {
      GLuint texture = textureNamed(lua_tostring(L, -1), gr_nameText(name).c_str());
      uniforms.set(name, &texture, sizeof texture);
      break;
    }
    case LUA_TTABLE: {
      // Reused: a uniform's floats are copied into the set before the next read.
      static std::vector<float> values;
      size_t count = lua_objlen(L, -1);
      readFloats(L, node, gr_nameText(name).c_str(), values, count);
      uniforms.set(name, values.data(), sizeof(float) * count);
      break;
    }
    default:
      break;  // booleans, userdata and nil make no uniform
  }
  lua_pop(L, 1);
}
// The "u_" fields of the table on top.
void readPrefixed(lua_State* L, UniformSet& result) {
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
}  // namespace

void getShaders(std::string& vs, std::string& ps, lua_State* L) {
  getString(L, "vs", vs);
  getString(L, "fs", ps);
}

void addCopy(UniformSet& uniforms, const std::string& name, const void* value, size_t size) {
  uniforms.set(name, value, size);
}

void readUniform(lua_State* L, UniformSet& uniforms) {
  if (lua_gettop(L) < 3) return;
  readPair(L, lua_gettop(L) - 2, uniforms);
}

namespace {
// getPrefixedUniforms with the node's snapshot at hand (or null).
void addPrefixed(lua_State* L, const nodefields::Snapshot* snapshot, UniformSet& result) {
  if (lua_gettop(L) == 0 || !lua_istable(L, -1)) return;
  // The walk's snapshot of the node saw every field name.
  if (snapshot && snapshot->valid && !snapshot->prefixed) return;
  readPrefixed(L, result);
}
}  // namespace

void getPrefixedUniforms(lua_State* L, UniformSet& result) {
  addPrefixed(L, nodefields::visiting(L), result);
}

void getUniforms(lua_State* L, UniformSet& uniforms) {
  getUniforms(L, nodefields::visiting(L), uniforms);
}

void getUniforms(lua_State* L, const nodefields::Snapshot* snapshot, UniformSet& uniforms) {
  static const nodefields::Key UNIFORMS("uniforms");
  if (lua_gettop(L) == 0) return;
  // A node the walk saw without either kind has none to read.
  if (snapshot && snapshot->valid && !snapshot->prefixed &&
      !luautils::present(L, snapshot, UNIFORMS))
    return;
  addPrefixed(L, snapshot, uniforms);
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
}

UniformSet getUniforms(lua_State* L) {
  UniformSet uniforms;
  getUniforms(L, uniforms);
  return uniforms;
}

void warnUnusedUniforms(const std::string& vs, const std::string& fs,
                        const UniformSet& uniforms) {
  if (!diagnostics::mode().debug) return;
  // In the order of their names, as they are listed elsewhere.
  std::vector<std::string> names;
  for (const UniformSet::Entry& entry : uniforms.entries) names.push_back(gr_nameText(entry.name));
  std::sort(names.begin(), names.end());
  GLuint program = 0;
  for (const std::string& name : names) {
    if (!diagnostics::firstTime("uniform " + vs + " " + fs + " " + name)) continue;
    if (!program) program = gr_getProgram(vs, fs);
    // A pair that does not link uses nothing; it has had its line already.
    if (gr_programFailed(program)) return;
    if (!gr_programUses(program, name))
      DLOG(LogLevel::Warning,
           "Warning: the shader pair %s %s does not use the uniform %s that a node supplies\n",
           vs.c_str(), fs.c_str(), name.c_str());
  }
}
}  // namespace renderutils
