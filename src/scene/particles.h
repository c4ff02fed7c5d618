// Particle systems. A node with a `particles` table is an emitter: its ring of
// particles lives in that table (under "__particles") from frame to frame; each
// frame the emitter asks the table's `emit` function for new particles at its
// `frequency`, ages the live ones and draws them as sprite quads, one batch per
// emitter and camera.
//
// An emitter advances once per frame, at the first camera that draws it: it
// ages its particles by the time step of the last frame it advanced in, then
// emits. Further cameras (and further visits of the same node) in that frame
// draw the same state.
//
// A number in the table's `burst` emits that many particles at once (at most
// PARTICLE_COUNT) when the emitter next advances, on top of its frequency,
// and the field is cleared: they are drawn in that frame.
//
// Particles live in the node's space and move with it, unless the particles
// table says space = "world": then each particle keeps the node's world matrix
// of the moment it was emitted, so a moving emitter leaves a trail.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "core/luautils.h"
#include "render/graphics.h"

namespace particles {
const int PARTICLE_COUNT = 4096;  // slots in an emitter's ring
const int CURVE_SAMPLES = 32;     // sample i is the value at life fraction i / 31

// A property over a particle's life, quantised: sample i holds
// (value - min) / |max - min| × 65535, rounded down. Constant: min = max.
struct LifeCurve {
  float min = 0;
  float max = 0;
  uint16_t samples[CURVE_SAMPLES] = {};
};

struct Particle {
  LifeCurve x, y, z;         // offset in the node's space
  LifeCurve rotation;        // about the z axis, radians
  LifeCurve scale;
  LifeCurve alpha;           // quad colour's alpha
  LifeCurve sprite;          // index into the emitter's sprite list
  float lifeTime = 0;        // age in seconds
  float totalLifeTime = -1;  // life span in seconds; -1: slot never used
  uint32_t color = 0;        // not used
  LifeCurve red, green, blue;  // quad colour's channels
  bool worldSpace = false;   // placed by `origin`, not by the node's matrix
  glm::mat4 origin = glm::mat4(1.0f);  // the node's world matrix at emission
};

struct ParticleSystem {
  Particle particles[PARTICLE_COUNT];
  std::vector<std::string> sprites;  // re-read every frame
  int nextParticleIndex = 0;         // slot of the next emission, modulo PARTICLE_COUNT
  float frequency = 0;               // emissions per second, re-read every frame
  float timeSinceLastEmit = 0;       // seconds towards the next emission
  float pendingAge = 0;              // seconds the live particles are yet to age
  unsigned lastFrame = 0;            // the frame in which the emitter last advanced
  int live = 0;                      // live slots since the last advance
  bool worldSpace = false;           // space = "world", re-read every frame
};

// What a new emitter starts as: every slot unused, nothing accumulated.
const ParticleSystem& defaultValue();

// Queues one handler per camera of `world` (on top of the stack); camera k
// draws into batchMatrix[k]. dt is the frame's time step in milliseconds.
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt);

// The curve under `key` of the table on top: a number (numeric strings too) is
// constant; a function is called with (i / 31, table) for i = 0 … 31, results
// that are not finite numbers and errors counting as 0; else `defaultValue`.
LifeCurve getCurve(lua_State* L, const char* key, float defaultValue);
}  // namespace particles
