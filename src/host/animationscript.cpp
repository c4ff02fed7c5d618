// Reading the animation description: the script runs in a private interpreter,
// whose result is read with raw accesses only, so no metamethod of the
// script's can raise an error outside a protected call.
#include "host/animationscript.h"

#include <lua.hpp>

#include <glm/gtc/quaternion.hpp>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "assets/animation.h"

namespace animationscript {
namespace {
struct CurveName {
  const char* name;
  animation::Target target;
};
const CurveName CURVES[] = {
    {"translation", animation::TRANSLATION},
    {"rotation", animation::ROTATION},
    {"scale", animation::SCALE},
};

// The value at `index` as a finite number; beyond the float range it becomes
// an infinity, which the curve's range check refuses.
bool finiteAt(lua_State* L, int index, float& value) {
  if (lua_type(L, index) != LUA_TNUMBER) return false;
  double number = lua_tonumber(L, index);
  if (!std::isfinite(number)) return false;
  if (std::fabs(number) > FLT_MAX)
    value = number > 0 ? INFINITY : -INFINITY;
  else
    value = static_cast<float>(number);
  return true;
}

// Entries 1 .. n of the table at `index` as finite numbers.
bool readNumbers(lua_State* L, int index, float* values, int n) {
  if (!lua_istable(L, index)) return false;
  bool ok = true;
  for (int i = 0; i < n && ok; ++i) {
    lua_rawgeti(L, index, i + 1);
    ok = finiteAt(L, -1, values[i]);
    lua_pop(L, 1);
  }
  return ok;
}

bool readRotation(lua_State* L, int index, glm::quat& rotation) {
  if (!lua_istable(L, index)) return false;
  float angle = 0, axis[3] = {};
  lua_pushstring(L, "angle");
  lua_rawget(L, index);
  bool ok = finiteAt(L, -1, angle);
  lua_pushstring(L, "axis");
  lua_rawget(L, index);
  ok = ok && readNumbers(L, lua_gettop(L), axis, 3);
  lua_pop(L, 2);
  glm::vec3 direction(axis[0], axis[1], axis[2]);
  float length = glm::length(direction);
  if (!ok || !(length > 0) || !std::isfinite(length)) return false;
  rotation = glm::angleAxis(glm::radians(angle), direction / length);
  return true;
}

// The key frame at `index` for a curve of `target`; its other fields keep
// their defaults.
bool readKeyFrame(lua_State* L, int index, animation::Target target, animation::KeyFrame& key) {
  float v[3];
  switch (target) {
    case animation::TRANSLATION:
      if (!readNumbers(L, index, v, 3)) return false;
      key.translation = glm::vec3(v[0], v[1], v[2]);
      return true;
    case animation::SCALE:
      if (finiteAt(L, index, v[0])) {
        key.scale = glm::vec3(v[0]);
        return true;
      }
      if (!readNumbers(L, index, v, 3)) return false;
      key.scale = glm::vec3(v[0], v[1], v[2]);
      return true;
    case animation::ROTATION:
      return readRotation(L, index, key.rotation);
  }
  return false;
}

const char* expected(animation::Target target) {
  switch (target) {
    case animation::TRANSLATION: return "{x, y, z}";
    case animation::SCALE: return "a number or {x, y, z}";
    case animation::ROTATION: return "{angle = degrees, axis = {x, y, z}} with a non-zero axis";
  }
  return "";
}

// The table at `index` as a curve; with its key frames sorted by number.
bool readCurve(lua_State* L, int index, const CurveName& name, animation::Curve& curve,
               std::string& problem) {
  curve.target = name.target;
  lua_pushnil(L);
  while (lua_next(L, index) != 0) {
    double number = lua_type(L, -2) == LUA_TNUMBER ? lua_tonumber(L, -2) : -1;
    if (!(number >= 0 && number <= UINT32_MAX && std::floor(number) == number)) {
      lua_pop(L, 2);
      problem = std::string(name.name) + " has a key that is no whole frame number from 0";
      return false;
    }
    uint32_t frame = static_cast<uint32_t>(number);
    animation::KeyFrame key;
    if (!readKeyFrame(L, lua_gettop(L), name.target, key)) {
      lua_pop(L, 2);
      problem = std::string(name.name) + " key frame " + std::to_string(frame) + " is not " +
                expected(name.target);
      return false;
    }
    curve.keyFrames[frame] = key;
    lua_pop(L, 1);
  }
  return true;
}

// The loader refuses a curve it could not interpolate; so must the converter.
bool interpolable(const animation::Curve& curve, const CurveName& name, std::string& problem) {
  if (animation::interpolable(curve)) return true;
  problem = std::string(name.name) + " has a value too large to interpolate (beyond 1.7e38)";
  return false;
}

// Two rotation key frames a full turn apart have opposite quaternions, between
// which mixing has no direction (it divides by zero): the step must be split.
bool turnsWhole(const animation::Curve& curve, std::string& problem) {
  for (auto a = curve.keyFrames.begin(), b = std::next(a); b != curve.keyFrames.end(); ++a, ++b)
    if (glm::dot(a->second.rotation, b->second.rotation) < -0.9999f) {
      problem = "rotation key frames " + std::to_string(a->first) + " and " +
                std::to_string(b->first) + " are a full turn apart; add a key frame between them";
      return true;
    }
  return false;
}

// The curves of the description table on top.
bool readDescription(lua_State* L, std::vector<animation::Curve>& curves, std::string& problem) {
  int table = lua_gettop(L);
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    bool known = false;
    if (lua_type(L, -2) == LUA_TSTRING)
      for (const CurveName& name : CURVES) known = known || name.name == std::string(lua_tostring(L, -2));
    if (!known) {
      problem = std::string("unknown field '") +
                (lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : luaL_typename(L, -2)) +
                "' (curves are translation, rotation and scale)";
      lua_pop(L, 2);
      return false;
    }
    lua_pop(L, 1);
  }
  for (const CurveName& name : CURVES) {
    lua_pushstring(L, name.name);
    lua_rawget(L, table);
    bool ok = true;
    if (lua_istable(L, -1)) {
      animation::Curve curve;
      ok = readCurve(L, lua_gettop(L), name, curve, problem) && interpolable(curve, name, problem) &&
           !(name.target == animation::ROTATION && turnsWhole(curve, problem));
      if (ok && !curve.keyFrames.empty()) curves.push_back(std::move(curve));
    } else if (!lua_isnil(L, -1)) {
      problem = std::string(name.name) + " is not a table of key frames";
      ok = false;
    }
    lua_pop(L, 1);
    if (!ok) return false;
  }
  return true;
}
}  // namespace

bool read(const std::string& path, std::vector<animation::Curve>& curves, std::string& problem) {
  lua_State* L = luaL_newstate();
  if (!L) {
    problem = "no memory for an interpreter";
    return false;
  }
  luaL_openlibs(L);
  bool ok = luaL_loadfile(L, path.c_str()) == 0 && lua_pcall(L, 0, 1, 0) == 0;
  if (!ok) {
    const char* message = lua_tostring(L, -1);
    problem = message ? message : "the script raised an error that is not text";
  } else if (!lua_istable(L, -1)) {
    problem = "the script returns no table of curves";
    ok = false;
  } else {
    std::vector<animation::Curve> read;
    ok = readDescription(L, read, problem);
    if (ok) curves.insert(curves.end(), read.begin(), read.end());
  }
  lua_close(L);
  return ok;
}
}  // namespace animationscript
