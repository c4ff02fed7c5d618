// The particle pass: emission from the script's `emit` function, ageing, curve
// sampling and one batch of sprite quads per emitter and camera.
#include "scene/particles.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "assets/resources.h"
#include "core/diagnostics.h"
#include "core/scriptcall.h"
#include "scene/cameras.h"
#include "scene/renderutils.h"
#include "scene/spriteutils.h"
#include "scene/transforms.h"
#include "scene/vertex.h"

namespace particles {
namespace {
const int LAST_SAMPLE = CURVE_SAMPLES - 1;
const float QUANTA = 65535;

// Numbers the frames, so that an emitter advances once per frame however many
// cameras draw it.
unsigned frameNumber = 0;

bool isLive(const Particle& particle) {
  return particle.totalLifeTime > -1 && particle.lifeTime < particle.totalLifeTime;
}

// Where a life fraction t in [0, 1] falls among the samples: the same for
// every curve of a particle.
struct SamplePoint {
  int index;      // the sample at or before t
  float between;  // how far towards the next one
};

SamplePoint samplePoint(float t) {
  float position = (t > 0 ? std::min(t, 1.0f) : 0) * LAST_SAMPLE;
  int index = std::min(static_cast<int>(position), LAST_SAMPLE);
  return {index, position - static_cast<float>(index)};
}

// The curve's value at the point: between neighbouring samples.
float sampleCurve(const LifeCurve& curve, SamplePoint point) {
  float range = std::fabs(curve.max - curve.min);
  float a = curve.samples[point.index] / QUANTA * range + curve.min;
  if (point.index == LAST_SAMPLE) return a;
  float b = curve.samples[point.index + 1] / QUANTA * range + curve.min;
  float f = point.between;
  return a * (1 - f) + b * f;
}

uint16_t quantise(float value, float min, float range) {
  float fraction = range > 0 ? (value - min) / range : 0;
  if (!(fraction > 0)) return 0;  // NaN included
  return static_cast<uint16_t>(std::min(fraction, 1.0f) * QUANTA);
}

// A sprite curve's value as an index into a list of `count` names. Samples are
// rounded down, so a step of the curve reads as just below itself; one quantum
// makes up for that before truncating. Out-of-range indices take the nearest end.
int spriteIndex(const LifeCurve& curve, SamplePoint point, size_t count) {
  float quantum = std::fabs(curve.max - curve.min) / QUANTA;
  int index = luautils::truncateToInt(sampleCurve(curve, point) + quantum);
  return std::max(0, std::min(index, static_cast<int>(count) - 1));
}

// Reads the new particle from the table on top (the result of `emit`).
void readParticle(lua_State* L, Particle& particle) {
  particle.scale = getCurve(L, "scale", 1);
  particle.x = getCurve(L, "x", 0);
  particle.y = getCurve(L, "y", 0);
  particle.z = getCurve(L, "z", 0);
  particle.rotation = getCurve(L, "rotation", 0);
  particle.alpha = getCurve(L, "alpha", 1);
  particle.sprite = getCurve(L, "sprite", 0);
  particle.red = getCurve(L, "red", 1);
  particle.green = getCurve(L, "green", 1);
  particle.blue = getCurve(L, "blue", 1);
  // Without a life span the particle is never drawn.
  float span = 0;
  getNumber<float>(L, "lifeTime", &span);
  particle.totalLifeTime = span;
  particle.lifeTime = 0;
}

// One emission, with the particles table on top; `transform` is the node's
// world matrix now. A missing `emit`, or one that does not return a table,
// emits nothing.
void emitOne(lua_State* L, ParticleSystem& system, const glm::mat4& transform) {
  int slot = system.nextParticleIndex % PARTICLE_COUNT;
  system.nextParticleIndex = slot + 1;
  luautils::pushField(L, -1, "emit");
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    return;
  }
  lua_pushvalue(L, -2);
  lua_pushinteger(L, slot);
  // An error's message is no table; only development mode reports it.
  if (script::pcall(L, 2, 1) != 0) script::reportSwallowed(L, "emit");
  if (lua_istable(L, -1)) {
    Particle& particle = system.particles[slot];
    system.live -= isLive(particle);
    readParticle(L, particle);
    system.live += isLive(particle);
    particle.worldSpace = system.worldSpace;
    particle.origin = transform;
  }
  lua_pop(L, 1);
}

// The table's `burst` (on top): that many particles at once, at most a ring's
// worth. The field is cleared as it is taken, so a burst fires once.
int takeBurst(lua_State* L) {
  lua_pushstring(L, "burst");
  lua_rawget(L, -2);
  bool present = !lua_isnil(L, -1);
  lua_Number count = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : 0;
  lua_pop(L, 1);
  if (present) {
    lua_pushstring(L, "burst");
    lua_pushnil(L);
    lua_rawset(L, -3);
  }
  return count >= 1 ? static_cast<int>(std::min<lua_Number>(count, PARTICLE_COUNT)) : 0;
}

// Ages the live particles by the previous step, then emits for this one: the
// burst first, then at the frequency; with the particles table on top.
void advance(lua_State* L, ParticleSystem& system, float seconds, const glm::mat4& transform) {
  // Counted here so that drawing, once per camera, needs no pass of its own.
  system.live = 0;
  for (Particle& particle : system.particles)
    if (isLive(particle)) {
      particle.lifeTime += system.pendingAge;
      system.live += isLive(particle);
    }
  system.pendingAge = seconds;

  for (int burst = takeBurst(L); burst > 0; --burst) emitOne(L, system, transform);
  // A frequency that is missing, not positive or not finite emits nothing.
  if (!(system.frequency > 0) || !std::isfinite(system.frequency)) return;
  float timeBetweenEmits = 1 / system.frequency;
  system.timeSinceLastEmit += seconds;
  for (int emitted = 0; system.timeSinceLastEmit > timeBetweenEmits; ++emitted) {
    // Beyond a ring's worth this frame's own particles would be overwritten, and
    // a step too small to change the sum would never end: drop the backlog.
    if (emitted == PARTICLE_COUNT) {
      system.timeSinceLastEmit = 0;
      return;
    }
    emitOne(L, system, transform);
    system.timeSinceLastEmit -= timeBetweenEmits;
  }
}

// Frequency and sprite names, taken from the particles table on top every time.
// Without a frequency the emitter rests.
void readSettings(lua_State* L, ParticleSystem& system) {
  system.frequency = 0;
  getNumber<float>(L, "frequency", &system.frequency);
  system.sprites.clear();
  if (!getStrings(L, "sprites", system.sprites)) system.sprites.push_back(getString(L, "sprite"));
  system.worldSpace = getString(L, "space") == "world";
}

// An emitter's sprite names with their sheet entries looked up once per draw.
// A name the sheet lacks is looked up at each use, so that every use logs
// the stand-in as a lookup by name does.
class SpriteNames {
 public:
  explicit SpriteNames(const std::vector<std::string>& names) : names_(names) {
    found_.resize(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
      auto entry = resources::sprites.find(names[i]);
      if (entry != resources::sprites.end()) found_[i] = entry->second;
    }
  }
  bool empty() const { return names_.empty(); }
  size_t size() const { return names_.size(); }
  // The sprite of name `index`; -1 is the empty name.
  const resources::Sprite& sprite(int index) {
    if (index >= 0 && found_[index]) return *found_[index];
    missing_ = resources::getSprite(index >= 0 ? names_[index].c_str() : "");
    return missing_;
  }

 private:
  const std::vector<std::string>& names_;
  std::vector<std::optional<resources::Sprite>> found_;
  resources::Sprite missing_;
};

struct NodeHandler {
  BatchMatrix* batchMatrix;
  cameras::Camera camera;
  float seconds;
  unsigned frame;

  void operator()(lua_State* L) const {
    static const nodefields::Key PARTICLES("particles");
    const nodefields::Snapshot* snapshot = nodefields::entered();
    if (!cameras::sees(L, snapshot, camera)) return;
    // Known absent without a look (a snapshot means no metatable to ask twice).
    if (snapshot && !luautils::present(L, snapshot, PARTICLES)) return;
    int node = lua_gettop(L);
    luautils::pushField(L, node, "particles");
    if (!lua_istable(L, -1)) {
      lua_pop(L, 1);
      return;
    }
    lua_pushvalue(L, node);
    glm::mat4 transform = transforms::getTransform(L);
    lua_pop(L, 1);
    ParticleSystem& system = *getUserData<ParticleSystem>(L, "__particles", defaultValue());
    // The block stays on the stack while script code runs, so a script that
    // drops it meanwhile cannot have it collected under us.
    lua_pushstring(L, "__particles");
    lua_rawget(L, -2);
    lua_insert(L, -2);

    readSettings(L, system);
    if (system.lastFrame != frame) {
      system.lastFrame = frame;
      advance(L, system, seconds, transform);
    }
    std::string vs = "ptc", fs = "ptc";
    renderutils::getShaders(vs, fs, L);
    lua_pop(L, 1);

    lua_pushvalue(L, node);
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    Batch& batch = list.add();
    fillBatch(L, vs, fs, system, batch);
    lua_pop(L, 2);  // the node copy and the block

    // The count bounds the writes: the block holds that many quads.
    const int live = system.live;
    if (live <= 0) return;
    const size_t quadFloats = sprites::QUAD_VERTICES * vertex::FLOATS;
    float* out = batch.data = list.vertices(static_cast<size_t>(live) * quadFloats);
    SpriteNames names(system.sprites);
    int written = 0;
    for (const Particle& particle : system.particles)
      if (written < live && isLive(particle)) {
        appendParticle(particle, transform, names, out);
        out += quadFloats;
        ++written;
      }
    batch.triangles = 2 * written;
  }

  // The emitter's batch, without vertices yet; with the node on top.
  void fillBatch(lua_State* L, const std::string& vs, const std::string& fs,
                 const ParticleSystem& system, Batch& batch) const {
    renderutils::getUniforms(L, batch.uniforms);
    renderutils::warnUnusedUniforms(vs, fs, batch.uniforms);
    // The first sprite's sheet supplies the texture; an emitter whose sprite
    // has no sheet (not even the stand-in) samples no texture.
    resources::Sprite first =
        resources::getSprite(system.sprites.empty() ? "" : system.sprites[0].c_str());
    GLuint texture = first.sheet ? static_cast<GLuint>(first.sheet->texture) : 0;
    batch.uniforms.set("textureSampler", &texture, sizeof texture);
    batch.uniforms.set("projection", glm::value_ptr(camera.projection), sizeof camera.projection);
    if (!batch.uniforms.find("color")) {
      const float white[4] = {1, 1, 1, 1};
      batch.uniforms.set("color", white, sizeof white);
    }
    batch.program = gr_getProgram(vs, fs);
    batch.targetName = camera.target;
    vertex::describe(batch.attributes);
    batch.enableBlending = true;
  }

  // Writes the particle's quad at `out`.
  static void appendParticle(const Particle& particle, const glm::mat4& transform,
                             SpriteNames& names, float* out) {
    SamplePoint t = samplePoint(particle.lifeTime / particle.totalLifeTime);
    glm::vec3 offset(sampleCurve(particle.x, t), sampleCurve(particle.y, t),
                     sampleCurve(particle.z, t));
    float scale = sampleCurve(particle.scale, t);
    glm::mat4 placed = glm::translate(particle.worldSpace ? particle.origin : transform, offset);
    placed = transforms::rotate(placed, sampleCurve(particle.rotation, t), glm::vec3(0, 0, 1));
    placed = glm::scale(placed, glm::vec3(scale));
    const resources::Sprite& sprite =
        names.sprite(names.empty() ? -1 : spriteIndex(particle.sprite, t, names.size()));
    glm::vec4 color(sampleCurve(particle.red, t), sampleCurve(particle.green, t),
                    sampleCurve(particle.blue, t), sampleCurve(particle.alpha, t));
    sprites::writeQuad(sprite, placed, glm::vec2(0, 0), color, out);
  }

};
}  // namespace

const ParticleSystem& defaultValue() {
  static const ParticleSystem system;
  return system;
}

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dt) {
  unsigned frame = ++frameNumber;
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    enter.push_back(NodeHandler{&batchMatrix, camera, dt / 1000, frame});
  });
}

LifeCurve getCurve(lua_State* L, const char* key, float defaultValue) {
  LifeCurve curve;
  curve.min = curve.max = defaultValue;
  int table = lua_gettop(L);
  luautils::pushField(L, table, key);
  if (lua_isnumber(L, -1)) {
    curve.min = curve.max = static_cast<float>(lua_tonumber(L, -1));
  } else if (lua_isfunction(L, -1)) {
    float values[CURVE_SAMPLES];
    for (int i = 0; i < CURVE_SAMPLES; ++i) {
      lua_pushvalue(L, -1);
      lua_pushnumber(L, static_cast<lua_Number>(i) / LAST_SAMPLE);
      lua_pushvalue(L, table);
      // An error leaves its message, which counts as 0.
      if (script::pcall(L, 2, 1) != 0 && diagnostics::mode().debug)
        script::reportSwallowed(L, (std::string("curve ") + key).c_str());
      float value = static_cast<float>(lua_tonumber(L, -1));
      values[i] = std::isfinite(value) ? value : 0;
      lua_pop(L, 1);
    }
    curve.min = *std::min_element(values, values + CURVE_SAMPLES);
    curve.max = *std::max_element(values, values + CURVE_SAMPLES);
    for (int i = 0; i < CURVE_SAMPLES; ++i)
      curve.samples[i] = quantise(values[i], curve.min, curve.max - curve.min);
  }
  lua_pop(L, 1);
  return curve;
}
}  // namespace particles
