// The physics bench's world, for the limit program: 1000 boxes falling into
// a container, built and stepped as the framework does it for the scene that
// bench/physics_bench writes (its Lua holds the same numbers): pixels
// converted at PIXELS_PER_METER (with the same float arithmetic, so that both
// simulate the very same world), steps of 1/60 s over the accumulated frame
// time, 8 velocity and 3 position iterations.
#pragma once

#include <box2d/box2d.h>

#include <vector>

namespace pile {
const float PIXELS_PER_METER = 50;
const float BOX = 10;  // pixels, the side of every falling box
const int COLUMNS = 40;
const float TIME_STEP = 1.0f / 60;

// Box i starts at column i % COLUMNS, row i / COLUMNS.
inline void start(int i, float& x, float& y) {
  x = static_cast<float>((i % COLUMNS) * 14 - 273);
  y = static_cast<float>(-200 + (i / COLUMNS) * 14);
}

inline void addBox(b2World& world, b2BodyType type, float x, float y, float w, float h,
                   std::vector<b2Body*>* into) {
  b2BodyDef def;
  def.type = type;
  def.position.Set(x / PIXELS_PER_METER, y / PIXELS_PER_METER);
  b2Body* body = world.CreateBody(&def);
  b2PolygonShape shape;
  const float metersPerPixel = 1.0f / PIXELS_PER_METER;
  shape.SetAsBox(w * metersPerPixel / 2, h * metersPerPixel / 2, b2Vec2(0, 0), 0);
  b2FixtureDef fixture;
  fixture.shape = &shape;
  fixture.density = 1;
  fixture.friction = 0.2f;
  body->CreateFixture(&fixture);
  if (into) into->push_back(body);
}

// The container (a floor and two walls) and `count` boxes.
inline std::vector<b2Body*> build(b2World& world, int count) {
  addBox(world, b2_staticBody, 0, -340, 600, 20, nullptr);
  addBox(world, b2_staticBody, -310, 0, 20, 700, nullptr);
  addBox(world, b2_staticBody, 310, 0, 20, 700, nullptr);
  std::vector<b2Body*> boxes;
  for (int i = 0; i < count; ++i) {
    float x, y;
    start(i, x, y);
    addBox(world, b2_dynamicBody, x, y, BOX, BOX, &boxes);
  }
  return boxes;
}

// One frame of `seconds`: the steps the accumulated time holds.
inline void advance(b2World& world, double& accumulated, double seconds) {
  accumulated += seconds;
  int steps = static_cast<int>(accumulated / TIME_STEP);
  if (steps > 8) {
    steps = 8;
    accumulated = steps * static_cast<double>(TIME_STEP);
  }
  accumulated -= steps * static_cast<double>(TIME_STEP);
  for (int k = 0; k < steps; ++k) world.Step(TIME_STEP, 8, 3);
}
}  // namespace pile
