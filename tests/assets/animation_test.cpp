// Key-frame evaluation, numerically.
#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

#include "assets/animation.h"

namespace {
using animation::Animation;
using animation::Curve;
using animation::KeyFrame;

KeyFrame translated(float x) {
  KeyFrame frame;
  frame.translation = glm::vec3(x, 0, 0);
  return frame;
}

Curve curve(animation::Target target, std::map<uint32_t, KeyFrame> keyFrames) {
  Curve c;
  c.target = target;
  c.keyFrames = std::move(keyFrames);
  return c;
}

float xAt(const Animation& a, float seconds) {
  return animation::evaluate(a, seconds)[3][0];
}
}  // namespace

TEST(AnimationEvaluate, TranslationInterpolatesWrapsAndHoldsOutsideItsKeyFrames) {
  Animation a;
  a.framesPerSecond = 10;
  a.frames = 20;
  a.curves.push_back(curve(animation::TRANSLATION, {{4, translated(0)}, {8, translated(40)},
                                                    {12, translated(0)}}));
  a.curves.push_back(curve(animation::TRANSLATION, {{0, translated(1000)}}));  // not the first
  EXPECT_FLOAT_EQ(xAt(a, 0.5f), 10);      // frame 5: a quarter of the way from 4 to 8
  EXPECT_FLOAT_EQ(xAt(a, 0.95f), 25);     // frame 9.5, untruncated
  EXPECT_FLOAT_EQ(xAt(a, 1.5f), 0);       // after the last key frame: the last
  EXPECT_FLOAT_EQ(xAt(a, 2.55f), 15);     // frame 25.5 wraps to 5.5
  EXPECT_FLOAT_EQ(xAt(a, 0.2f), -20);     // frame 2, before the first key frame: t = -0.5
  EXPECT_FLOAT_EQ(xAt(a, 2.0f), 0);       // frame 20 is not past the wrap point

  // Without a length the frame keeps growing; past every key frame the last holds.
  a.frames = 0;
  EXPECT_FLOAT_EQ(xAt(a, 2.55f), 0);
  EXPECT_FLOAT_EQ(xAt(a, 1e30f), 0);
  // Loaded models have no rate: always frame 0, here before the first key frame.
  a.framesPerSecond = 0;
  EXPECT_FLOAT_EQ(xAt(a, 100), -40);
}

// A fraction past a key frame interpolates from that key frame on, and a
// fraction past the last key frame holds the last: whole and fractional
// frames on both sides of a key frame pick the same pair.
TEST(AnimationEvaluate, FractionalFramesNextToAKeyFrameUseTheRightPair) {
  Animation a;
  a.curves.push_back(curve(animation::TRANSLATION, {{4, translated(0)}, {8, translated(40)},
                                                    {12, translated(0)}}));
  auto xAtFrame = [&a](float frame) { return animation::evaluateFrame(a, frame)[3][0]; };
  EXPECT_FLOAT_EQ(xAtFrame(7.75f), 37.5f);  // just before the inner key frame
  EXPECT_FLOAT_EQ(xAtFrame(8), 40);
  EXPECT_FLOAT_EQ(xAtFrame(8.25f), 37.5f);  // just after it: on the way down to 12
  EXPECT_FLOAT_EQ(xAtFrame(11.75f), 2.5f);
  EXPECT_FLOAT_EQ(xAtFrame(12), 0);
  EXPECT_FLOAT_EQ(xAtFrame(12.25f), 0);  // just past the last: held, not extrapolated
  EXPECT_FLOAT_EQ(xAtFrame(12.999f), 0);
}

// Before the first key frame the first two key frames extrapolate, rotations
// included (glm's mix at t = -1 turns the other way).
TEST(AnimationEvaluate, BeforeTheFirstKeyFrameTheFirstTwoExtrapolate) {
  KeyFrame still = translated(20), turned = translated(50);
  turned.rotation = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 0, 1));
  Animation a;
  a.framesPerSecond = 1;
  a.curves.push_back(curve(animation::TRANSLATION, {{10, still}, {20, turned}}));
  a.curves.push_back(curve(animation::ROTATION, {{10, still}, {20, turned}}));
  glm::mat4 m = animation::evaluate(a, 0);
  EXPECT_NEAR(m[3][0], -10, 1e-4);
  // The x axis turned by -90 degrees about z points down.
  EXPECT_NEAR(m[0][0], 0, 1e-5);
  EXPECT_NEAR(m[0][1], -1, 1e-5);

  // A lone key frame holds on both sides.
  Animation lone;
  lone.framesPerSecond = 1;
  lone.curves.push_back(curve(animation::TRANSLATION, {{10, still}}));
  EXPECT_FLOAT_EQ(xAt(lone, 0), 20);
}

TEST(AnimationEvaluate, TranslationRotationAndScaleComposeInThatOrder) {
  KeyFrame start, quarter;
  start.scale = quarter.scale = glm::vec3(2, 3, 1);
  quarter.rotation = glm::angleAxis(glm::radians(90.0f), glm::vec3(0, 0, 1));
  Animation a;
  a.framesPerSecond = 1;
  a.curves.push_back(curve(animation::SCALE, {{0, start}}));
  a.curves.push_back(curve(animation::ROTATION, {{0, start}, {2, quarter}}));
  a.curves.push_back(curve(animation::TRANSLATION, {{0, translated(5)}}));
  a.curves.push_back(curve(animation::ROTATION, {}));  // ignored: not the first

  // Frame 1: halfway, 45 degrees. (1, 0) scales to (2, 0), turns, then moves.
  glm::vec4 p = animation::evaluate(a, 1.0f) * glm::vec4(1, 0, 0, 1);
  EXPECT_NEAR(p.x, 5 + std::sqrt(2.0f), 1e-5);
  EXPECT_NEAR(p.y, std::sqrt(2.0f), 1e-5);
  EXPECT_NEAR(p.z, 0, 1e-6);

  // A curve without key frames drives nothing.
  Animation empty;
  empty.framesPerSecond = 5;
  empty.curves.push_back(curve(animation::ROTATION, {}));
  EXPECT_EQ(animation::evaluate(empty, 3), glm::mat4(1.0f));
}
