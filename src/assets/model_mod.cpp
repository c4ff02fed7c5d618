// The binary .mod model reader. A file is untrusted: every count is honoured
// only as far as the file actually supplies data, indices must stay inside
// their mesh's vertices, and nesting is bounded, so a truncated or corrupt file
// yields the complete part read before the damage and nothing worse. A curve
// whose values are too large to interpolate is read but not kept.
//
// Layout: little-endian, no header, one model block per file.
//
//   model block  u32 meshCount   meshCount  × mesh block
//                u32 curveCount  curveCount × curve block
//                u32 childCount  childCount × model block (same layout, nested)
//   mesh block   u32 V   V × f32 vertex floats, 8 per vertex:
//                        position x y z, normal x y z, texture u v
//                u32 I   I × u32 indices, three per triangle
//                4 × f32 colour r g b a
//   curve block  u32 target (0 translation, 1 rotation, 2 scale)
//                u32 K   K × key-frame record
//   key-frame record, 52 bytes; offsets 4 to 51 are the image of
//   animation::KeyFrame:
//      0  u32      frame number
//      4  3 × f32  translation x y z
//     16  3 × f32  scale x y z
//     28  4 × f32  rotation x y z w
//     44  u32      interpolation type
//     48  2 × u8   left, right tangent (no content), then 2 bytes padding
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "assets/animation.h"
#include "assets/model.h"
#include "assets/resources.h"
#include "core/log.h"

namespace model {
namespace {
const size_t KEY_FRAME_RECORD = 52;
const size_t KEY_FRAME_IMAGE = 48;
static_assert(KEY_FRAME_RECORD == sizeof(uint32_t) + KEY_FRAME_IMAGE, "frame number + image");
static_assert(sizeof(animation::KeyFrame) == KEY_FRAME_IMAGE, "record image matches KeyFrame");
static_assert(sizeof(float) == 4 && sizeof(uint32_t) == 4, "32-bit fields");
// Fields are read in the host's byte order, which must match the files'.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian host");

const int FILE_FLOATS_PER_VERTEX = 8;
const int MAX_DEPTH = 64;      // nested child blocks; deeper files are corrupt
const size_t CHUNK = 1 << 16;  // values read (and allocated) at a time

void reportShortRead(FILE* file) {
  if (ferror(file)) DLOG(LogLevel::Error, "Error reading mod file\n");
  if (feof(file)) DLOG(LogLevel::Error, "Eof while reading mod file\n");
}

bool readU32(FILE* file, uint32_t& value) { return fread(&value, 4, 1, file) == 1; }

// A count, or false (said in the log) when the file cannot supply one.
bool readCount(FILE* file, uint32_t& count) {
  if (readU32(file, count)) return true;
  reportShortRead(file);
  return false;
}

// Reads `count` values chunk by chunk, so memory grows only with data that
// really arrives. False on a short read.
template <typename T>
bool readArray(FILE* file, uint32_t count, std::vector<T>& out) {
  out.clear();
  while (out.size() < count) {
    size_t at = out.size();
    size_t want = std::min<size_t>(CHUNK, count - at);
    out.resize(at + want);
    size_t got = fread(out.data() + at, sizeof(T), want, file);
    if (got < want) {
      out.resize(at + got);
      return false;
    }
  }
  return true;
}

float floatAt(const unsigned char* bytes, size_t offset) {
  float value;
  memcpy(&value, bytes + offset, 4);
  return value;
}

uint32_t u32At(const unsigned char* bytes, size_t offset) {
  uint32_t value;
  memcpy(&value, bytes + offset, 4);
  return value;
}

// False when the file ended (or failed) inside the mesh. A complete mesh whose
// indices point past its vertices is read but not kept (`keep` false): the
// renderer would read past the vertex data.
bool readMesh(FILE* file, Mesh& mesh, bool& keep) {
  uint32_t floats = 0, indexCount = 0;
  float color[4];
  if (!readU32(file, floats) || !readArray(file, floats, mesh.vertices) ||
      !readU32(file, indexCount) || !readArray(file, indexCount, mesh.indices) ||
      fread(color, 4, 4, file) != 4) {
    reportShortRead(file);
    return false;
  }
  mesh.material.color = glm::vec4(color[0], color[1], color[2], color[3]);
  mesh.material.shaderPair = {"pnt", "pnt"};
  mesh.hasNormals = true;
  mesh.hasUvs = true;
  mesh.hasColor = false;

  uint32_t vertices = floats / FILE_FLOATS_PER_VERTEX;
  keep = std::all_of(mesh.indices.begin(), mesh.indices.end(),
                     [vertices](uint32_t index) { return index < vertices; });
  if (!keep)
    DLOG(LogLevel::Warning, "Skipped a mod mesh whose indices pass its %u vertices\n", vertices);
  return true;
}

bool readCurve(FILE* file, animation::Curve& curve) {
  uint32_t target = 0, count = 0;
  if (!readCount(file, target) || !readCount(file, count)) return false;
  curve.target = static_cast<animation::Target>(target);
  for (uint32_t i = 0; i < count; ++i) {
    unsigned char record[KEY_FRAME_RECORD];
    if (fread(record, 1, sizeof record, file) != sizeof record) {
      reportShortRead(file);
      return false;
    }
    animation::KeyFrame frame;
    frame.translation = glm::vec3(floatAt(record, 4), floatAt(record, 8), floatAt(record, 12));
    frame.scale = glm::vec3(floatAt(record, 16), floatAt(record, 20), floatAt(record, 24));
    frame.rotation = glm::quat(floatAt(record, 40), floatAt(record, 28), floatAt(record, 32),
                               floatAt(record, 36));  // glm takes w first
    frame.interpolationType = static_cast<animation::InterpolationType>(u32At(record, 44));
    curve.keyFrames[u32At(record, 0)] = frame;  // a repeated frame number replaces
  }
  return true;
}

// False when reading must stop; what was read completely is kept in `model`.
bool readBlock(Model& model, FILE* file, int depth) {
  uint32_t count = 0;
  if (!readCount(file, count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    Mesh mesh;
    bool keep = false;
    if (!readMesh(file, mesh, keep)) return false;
    if (keep) model.meshes.push_back(std::move(mesh));
  }

  if (!readCount(file, count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    animation::Curve curve;
    if (!readCurve(file, curve)) return false;
    if (animation::interpolable(curve))
      model.animation.curves.push_back(std::move(curve));
    else
      DLOG(LogLevel::Warning,
           "Skipped a mod curve with key-frame values too large to interpolate\n");
  }

  if (!readCount(file, count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (depth == MAX_DEPTH) {
      DLOG(LogLevel::Warning, "Mod file nests models deeper than %d levels; the rest is ignored\n",
           MAX_DEPTH);
      return false;
    }
    model.children.emplace_back();
    if (!readBlock(model.children.back(), file, depth + 1)) return false;
  }
  return true;
}
}  // namespace

void readMod(Model& model, FILE* file) { readBlock(model, file, 0); }

bool parseMod(std::string name) {
  DLOG(LogLevel::Info, "Attempt to parse mod %s\n", name.c_str());
  FILE* file = resources::openFile(("assets/models/" + name + ".mod").c_str(), "rb");
  if (!file) {
    DLOG(LogLevel::Error, "Failed to parse mod %s\n", name.c_str());
    return false;
  }
  Model result;
  readMod(result, file);
  fclose(file);
  models[name] = std::move(result);
  return true;
}
}  // namespace model
