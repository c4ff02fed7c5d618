// The framework's random numbers: the generator against its published output,
// and math.random in the real executable: one sequence per seed, on every
// platform (tests/web/run.js compares the page with the same game), seeds
// from the clock, Lua 5.1's argument checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

#include "core/random.h"
#include "support/game_run.h"

using namespace testsupport;

namespace {
// Prints the first 1000 numbers of --seed 42 (the three forms of the call in
// turn), then what the argument checks say, then the first number again after
// math.randomseed(42). Keep in step with tests/web/run.js.
const char* const SEQUENCE_GAME =
    "config = { width = 64, height = 48 }\n"
    "world = { camera = {} }\n"
    "for i = 1, 1000 do\n"
    "  local k = i % 3\n"
    "  local v = k == 1 and math.random() or k == 2 and math.random(6) or math.random(-1000, 1000)\n"
    "  print(string.format('number %.17g', v))\n"
    "end\n"
    "local function try(f) print('check', (select(2, pcall(f)):gsub('^[^:]*:%d+: ', ''))) end\n"
    "try(function() return math.random(0) end)\n"
    "try(function() return math.random(3, 2) end)\n"
    "try(function() return math.random(1, 2, 3) end)\n"
    "try(function() return math.random('x') end)\n"
    "try(function() math.randomseed() end)\n"
    "local seen, low, high = {}, 1/0, -1/0\n"
    "for i = 1, 300 do\n"
    "  local a, b = math.random(2.9), math.random(-2, 2)\n"
    "  seen[a] = true; seen[b + 10] = true\n"
    "  low, high = math.min(low, a, b), math.max(high, a, b)\n"
    "end\n"
    "print('range', low, high, seen[1], seen[2], seen[8], seen[12], math.random(5, 5))\n"
    "math.randomseed(42)\n"
    "print(string.format('again %.17g', math.random()))\n";

// FNV-1a over text: a short fingerprint of the thousand lines.
uint64_t fingerprint(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ULL;
  return hash;
}

std::string linesStartingWith(const std::string& log, const std::string& prefix) {
  std::istringstream in(log);
  std::string line, found;
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) found += line.substr(prefix.size()) + "\n";
  return found;
}
}  // namespace

// pcg32-demo's output for pcg32_srandom_r(42, 54), as pcg-random.org publishes it.
TEST(Random, TheGeneratorIsPcg32AsPublished) {
  rng::Generator generator = rng::seeded(42, 54);
  for (uint32_t expected : {0xa15c02b7u, 0x7b47f409u, 0xba1d3330u, 0x83d2f293u, 0xbfa4784bu,
                            0xcbed606eu})
    EXPECT_EQ(rng::next(generator), expected);
}

TEST(Random, ASeedGivesOneSequenceWithLua51sChecks) {
  GameFolder game;
  game.writeMain(SEQUENCE_GAME);
  GameRun run = runGame(game, {"--windowed", "--frames", "1", "--fixed-dt", "16", "--seed", "42"});
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_TRUE(linesInOrder(run.out, {"Random seed 42", "Load lua main"})) << run.out;
  std::string numbers = linesStartingWith(run.out, "number ");
  // math.random() is the first two words' top 53 bits over 2^53.
  EXPECT_EQ(numbers.substr(0, numbers.find('\n')), "0.63031022052317076");
  // The reference algorithm's thousand numbers, printed with %.17g.
  EXPECT_EQ(fingerprint(numbers), 0xa27b3e826ffb59aeULL) << numbers.substr(0, 200);
  EXPECT_EQ(linesStartingWith(run.out, "check\t"),
            "bad argument #1 to 'random' (interval is empty)\n"
            "bad argument #2 to 'random' (interval is empty)\n"
            "wrong number of arguments\n"
            "bad argument #1 to 'random' (number expected, got string)\n"
            "bad argument #1 to 'randomseed' (number expected, got no value)\n");
  EXPECT_EQ(linesStartingWith(run.out, "range\t"), "-2\t2\ttrue\ttrue\ttrue\ttrue\t5\n");
  EXPECT_EQ(linesStartingWith(run.out, "again "), "0.63031022052317076\n");
}

TEST(Random, RunsAreSeededFromTheClockUnlessTheTimeStepIsFixed) {
  GameFolder game;
  game.writeMain("config = { width = 64, height = 48 }\nworld = { camera = {} }\n"
                 "print(string.format('number %.17g', math.random()))\n");
  GameRun first = runGame(game, {"--windowed", "--frames", "1"});
  GameRun second = runGame(game, {"--windowed", "--frames", "1"});
  GameRun fixed = runFrames(game, 1);
  ASSERT_EQ(first.exitStatus, 0) << first.out;
  EXPECT_EQ(countLinesStartingWith(first.out, "Random seed "), 1) << first.out;
  EXPECT_NE(linesStartingWith(first.out, "Random seed "), linesStartingWith(second.out, "Random seed "));
  EXPECT_NE(linesStartingWith(first.out, "number "), linesStartingWith(second.out, "number "));
  EXPECT_EQ(linesStartingWith(fixed.out, "Random seed "), "1\n");
  EXPECT_EQ(linesStartingWith(fixed.out, "number "), linesStartingWith(runFrames(game, 1).out, "number "));
}
