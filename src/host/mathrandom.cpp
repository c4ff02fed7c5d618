// The script's math.random and math.randomseed over rng::Generator. The
// generator lives in a userdata both functions hold as their upvalue.
#include "host/mathrandom.h"

#include <chrono>
#include <cmath>
#include <new>

#include "core/log.h"
#include "core/luautils.h"
#include "core/random.h"

namespace mathrandom {
namespace {
// Under --fixed-dt without --seed: the seed the C library's rand starts from.
const int64_t FIXED_SEED = 1;
// Whole numbers a double holds exactly: ranges stay inside them.
const double EXACT = 9007199254740992.0;  // 2^53

// A number as Lua 5.1 makes it an integer argument (bounds and seeds):
// truncated toward zero. Held within +-2^53, where 5.1's conversion was
// undefined, and NaN as 0, so every platform agrees.
int64_t whole(double number) {
  if (std::isnan(number)) return 0;
  return static_cast<int64_t>(std::trunc(std::fmax(-EXACT, std::fmin(EXACT, number))));
}

rng::Generator& generatorOf(lua_State* L) {
  return *static_cast<rng::Generator*>(lua_touserdata(L, lua_upvalueindex(1)));
}

// A whole number from lower to upper, both within +-2^53: the range fits 64
// bits and the result a double.
void pushBetween(lua_State* L, rng::Generator& generator, int64_t lower, int64_t upper) {
  uint64_t range = static_cast<uint64_t>(upper - lower) + 1;
  int64_t drawn = static_cast<int64_t>(rng::below(generator, range));
  lua_pushnumber(L, static_cast<double>(lower + drawn));
}

int drawRandom(lua_State* L) {
  rng::Generator& generator = generatorOf(L);
  switch (lua_gettop(L)) {
    case 0:
      lua_pushnumber(L, rng::unit(generator));
      return 1;
    case 1: {
      int64_t upper = whole(luaL_checknumber(L, 1));
      luaL_argcheck(L, 1 <= upper, 1, "interval is empty");
      pushBetween(L, generator, 1, upper);
      return 1;
    }
    case 2: {
      int64_t lower = whole(luaL_checknumber(L, 1));
      int64_t upper = whole(luaL_checknumber(L, 2));
      luaL_argcheck(L, lower <= upper, 2, "interval is empty");
      pushBetween(L, generator, lower, upper);
      return 1;
    }
    default:
      return luaL_error(L, "wrong number of arguments");
  }
}

int randomseed(lua_State* L) {
  generatorOf(L) = rng::seeded(static_cast<uint64_t>(whole(luaL_checknumber(L, 1))));
  return 0;
}
}  // namespace

int64_t startingSeed(const Options& options) {
  if (options.seedGiven) return options.seed;
  if (options.fixedDtMs >= 0) return FIXED_SEED;
  auto now = std::chrono::system_clock::now().time_since_epoch();
  // Nine digits of microseconds: short enough to copy from the log to --seed.
  return std::chrono::duration_cast<std::chrono::microseconds>(now).count() % 1000000000;
}

void install(lua_State* L, int64_t value) {
  DLOG(LogLevel::Info, "Random seed %lld\n", static_cast<long long>(value));
  luautils::pushGlobal(L, "math");
  new (lua_newuserdata(L, sizeof(rng::Generator)))
      rng::Generator(rng::seeded(static_cast<uint64_t>(value)));
  lua_pushvalue(L, -1);
  lua_pushcclosure(L, drawRandom, 1);
  lua_setfield(L, -3, "random");
  lua_pushcclosure(L, randomseed, 1);
  lua_setfield(L, -2, "randomseed");
  lua_pop(L, 1);
}
}  // namespace mathrandom
