// Joints in real runs: every kind holds what its reference says, in the
// world node's units and degrees (springs, limits and motors included).
#include <gtest/gtest.h>

#include <sstream>

#include "support/game_run.h"

using namespace testsupport;

namespace {
// The numbers after `prefix` on the line that starts with it.
std::vector<double> numbersAfter(const std::string& log, const std::string& prefix) {
  std::vector<double> numbers;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind(prefix + "\t", 0) == 0) {
      std::istringstream rest(line.substr(prefix.size()));
      double number;
      while (rest >> number) numbers.push_back(number);
    }
  return numbers;
}
}  // namespace

// Each pair of bodies lies far from the others, in one world with gravity.
TEST(PhysicsJoints, EveryKindHoldsItsBodiesInUnitsAndDegrees) {
  GameFolder game;
  game.writeMain(
      "config = {width = 320, height = 240}\n"
      "frame = 0\n"
      "local function static(x) return {body = {type = 'static', shape = 'circle', radius = 2}, x = x} end\n"
      "anchor, bob = static(0), {body = {shape = 'circle', radius = 5}, x = 100}\n"
      "pin, bar = static(1000), {body = {width = 100, height = 10}, x = 1050}\n"
      "base, slider = static(2000), {body = {width = 10, height = 10}, x = 2000}\n"
      "post, plank = static(3000), {body = {width = 40, height = 10}, x = 3040}\n"
      "chassis, wheel = static(4000), {body = {shape = 'circle', radius = 10}, x = 4000}\n"
      "dragged = {body = {width = 10, height = 10}, x = 5000}\n"
      "world = {camera = {}, physics = {}, anchor, bob, pin, bar, base, slider, post, plank,\n"
      "  chassis, wheel, dragged}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 3 then\n"
      "    local rod = bodies.distanceJoint(anchor, bob, 0, 0, 100, 0)\n"
      "    bodies.setJointSpring(rod, 0, 0)\n"
      "    bodies.setVelocity(bob, -300, 0)\n"
      "    local hinge = bodies.revoluteJoint(pin, bar, 1000, 0)\n"
      "    bodies.setJointLimits(hinge, true, -45, 0)\n"
      "    bodies.setJointMotor(hinge, true, -30, 1e7)\n"
      "    local rail = bodies.prismaticJoint(base, slider, 2000, 0, 1, 0)\n"
      "    bodies.setJointLimits(rail, true, 0, 50)\n"
      "    bodies.setJointMotor(rail, true, 100, 1e5)\n"
      "    bodies.weldJoint(post, plank, 3020, 0)\n"
      "    local axle = bodies.wheelJoint(chassis, wheel, 4000, 0, 0, 1)\n"
      "    bodies.setJointSpring(axle, 0, 0)\n"
      "    bodies.setJointLimits(axle, true, -20, 20)\n"
      "    bodies.setJointMotor(axle, true, 180, 1e7)\n"
      "    hand = bodies.mouseJoint(dragged, 5000, 0, 1e5)\n"
      "  end\n"
      "  if frame == 4 then bodies.setJointTarget(hand, 5100, 50) end\n"
      "  if frame == 10 then print('rod', math.sqrt(bob.x ^ 2 + bob.y ^ 2)) end\n"
      "  if frame == 40 then print('turning', bodies.getAngularVelocity(bar)) end\n"
      "  if frame == 240 then\n"
      "    print('hinge', bar.rotation)\n"
      "    print('slider', slider.x - 2000, slider.y, slider.rotation)\n"
      "    print('weld', plank.x - 3040, plank.y or 0)\n"
      "    print('wheel', wheel.y, bodies.getAngularVelocity(wheel))\n"
      "    print('dragged', dragged.x - 5000, dragged.y) end end\n");
  GameRun result = runFrames(game, 241);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(result.out.find("physics: "), std::string::npos) << result.out;
  // At 0 Hz a distance joint is a rod: pushed towards its anchor, the bob
  // keeps its length (a rope would let it close in by 30 units by then).
  std::vector<double> rod = numbersAfter(result.out, "rod");
  ASSERT_EQ(rod.size(), 1u) << result.out;
  EXPECT_NEAR(rod[0], 100, 1);
  // The motor turns at its degrees per second until the limit in degrees.
  std::vector<double> turning = numbersAfter(result.out, "turning");
  std::vector<double> hinge = numbersAfter(result.out, "hinge");
  ASSERT_EQ(turning.size(), 1u) << result.out;
  ASSERT_EQ(hinge.size(), 1u) << result.out;
  EXPECT_NEAR(turning[0], -30, 1);
  EXPECT_NEAR(hinge[0], -45, 1);
  // The slider runs along its axis to its upper limit in units, not turning.
  std::vector<double> slider = numbersAfter(result.out, "slider");
  ASSERT_EQ(slider.size(), 3u) << result.out;
  EXPECT_NEAR(slider[0], 50, 1);
  EXPECT_NEAR(slider[1], 0, 0.5);
  EXPECT_NEAR(slider[2], 0, 0.5);
  std::vector<double> weld = numbersAfter(result.out, "weld");
  ASSERT_EQ(weld.size(), 2u) << result.out;
  EXPECT_NEAR(weld[0], 0, 0.5);
  EXPECT_NEAR(weld[1], 0, 0.5);
  // Without its spring the wheel drops to its lower limit and turns at the
  // motor's speed.
  std::vector<double> wheel = numbersAfter(result.out, "wheel");
  ASSERT_EQ(wheel.size(), 2u) << result.out;
  EXPECT_NEAR(wheel[0], -20, 1);
  EXPECT_NEAR(wheel[1], 180, 2);
  std::vector<double> dragged = numbersAfter(result.out, "dragged");
  ASSERT_EQ(dragged.size(), 2u) << result.out;
  EXPECT_NEAR(dragged[0], 100, 2);
  EXPECT_NEAR(dragged[1], 50, 2);
}
