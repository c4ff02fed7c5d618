// Uniform values from scene nodes. (Arrives with the uniforms work.)
#include "render/renderutils.h"

namespace renderutils {
void getShaders(std::string& vs, std::string& ps, lua_State* L) {
  getString(L, "vs", vs);
  getString(L, "fs", ps);
}
void addUniform(std::map<std::string, Uniform>& uniforms, std::string name, size_t size,
                void* value) {
  uniforms[name] = Uniform(size, value);
}
void readUniform(lua_State*, std::map<std::string, Uniform>&) {}
void getUniformsOld(lua_State*, std::map<std::string, Uniform>&) {}
std::map<std::string, Uniform> getUniforms(lua_State*) { return {}; }
}  // namespace renderutils
