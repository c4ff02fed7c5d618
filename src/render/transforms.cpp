// Node world matrices and camera projections. (Arrives with the cameras work.)
#include "render/transforms.h"

namespace transforms {
void prepare(lua_State*, HandlerQueue&) {}
void createTransform(lua_State*, glm::mat4) {}
glm::mat4 getTransform(lua_State*) { return glm::mat4(1.0f); }
glm::mat4 calcTransform(lua_State*) { return glm::mat4(1.0f); }
glm::mat4 calcProjection(lua_State*) { return glm::mat4(1.0f); }
}  // namespace transforms
