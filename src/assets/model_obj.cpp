// Wavefront OBJ import: positions, normals, texture coordinates and faces
// become one de-indexed mesh (every face corner its own vertex, indices 0, 1,
// 2, ...). Everything else in a file is ignored.
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "assets/model.h"
#include "assets/resources.h"
#include "core/log.h"
#include "platform/files.h"

namespace model {
namespace {
const int64_t ABSENT = INT64_MIN;

// One face corner as zero-based indices into the file's lists; ABSENT when the
// face form gives no such index.
struct Corner {
  int64_t position = ABSENT;
  int64_t uv = ABSENT;
  int64_t normal = ABSENT;
};

// Matches the text at `in` against `pattern` as scanf would for the
// directives used here: a blank skips any run of white space (none included),
// %f and %d skip white space and convert a number, any other character must
// match itself. Returns how many numbers were converted before the first
// mismatch and moves `in` past what matched. Integers are clamped to the int
// range; they are checked against the lists later.
int scan(const char*& in, const char* pattern, double* numbers) {
  int count = 0;
  for (const char* p = pattern; *p; ++p) {
    if (*p == ' ') {
      while (isspace(static_cast<unsigned char>(*in))) ++in;
      continue;
    }
    if (*p != '%') {
      if (*in != *p) return count;
      ++in;
      continue;
    }
    ++p;
    while (isspace(static_cast<unsigned char>(*in))) ++in;
    char* end = nullptr;
    double value = 0;
    if (*p == 'd') {
      long integer = strtol(in, &end, 10);
      if (integer > INT_MAX) integer = INT_MAX;
      if (integer < INT_MIN) integer = INT_MIN;
      value = static_cast<double>(integer);
    } else {
      value = strtod(in, &end);
    }
    if (end == in) return count;
    in = end;
    numbers[count++] = value;
  }
  return count;
}

int64_t toIndex(double fileValue) { return static_cast<int64_t>(fileValue) - 1; }

struct FaceForm {
  const char* corner;  // the pattern of one corner
  int perCorner;       // numbers in a corner
  int uvAt;            // which of them is the uv index, -1 for none
  int normalAt;        // which is the normal index, -1 for none
};
// Tried in this order; the first that reads at least three whole corners wins.
const FaceForm FACE_FORMS[] = {
    {" %d", 1, -1, -1},
    {" %d/%d", 2, 1, -1},
    {" %d/%d/%d", 3, 1, 2},
    {" %d//%d", 2, -1, 1},
};

// The corners of the face line `line` in `form`, up to the first that is not
// whole; none when the line is no face.
void readCorners(const char* line, const FaceForm& form, std::vector<Corner>& face) {
  face.clear();
  if (*line != 'f') return;
  const char* in = line + 1;
  double numbers[3];
  while (scan(in, form.corner, numbers) == form.perCorner) {
    Corner c;
    c.position = toIndex(numbers[0]);
    if (form.uvAt >= 0) c.uv = toIndex(numbers[form.uvAt]);
    if (form.normalAt >= 0) c.normal = toIndex(numbers[form.normalAt]);
    face.push_back(c);
  }
}

// Appends the triangles of a face of three or more corners: a triangle as it
// is, a quadrilateral a, b, c, d as (c, d, a), (a, b, c), and a larger face as
// a fan around its first corner, (a, b, c), (a, c, d), (a, d, e), ...
void addFace(const std::vector<Corner>& face, std::vector<Corner>& out) {
  static const int QUAD[6] = {2, 3, 0, 0, 1, 2};
  if (face.size() == 4) {
    for (int k : QUAD) out.push_back(face[static_cast<size_t>(k)]);
    return;
  }
  for (size_t k = 1; k + 1 < face.size(); ++k) {
    out.push_back(face[0]);
    out.push_back(face[k]);
    out.push_back(face[k + 1]);
  }
}

struct ObjData {
  std::vector<float> positions, normals, uvs;  // 3, 3 and 2 floats an entry
  std::vector<Corner> corners;                 // 3 per triangle
  std::vector<Corner> face;                    // the face line being read
};

// True when `line` matches `pattern` with `count` numbers, stored in `numbers`.
bool matches(const char* line, const char* pattern, int count, double* numbers) {
  return scan(line, pattern, numbers) == count;
}

void readLine(const char* line, ObjData& data) {
  double n[3];
  if (matches(line, "v %f %f %f", 3, n)) {
    for (int i = 0; i < 3; ++i) data.positions.push_back(static_cast<float>(n[i]));
  } else if (matches(line, "vn %f %f %f", 3, n)) {
    for (int i = 0; i < 3; ++i) data.normals.push_back(static_cast<float>(n[i]));
  } else if (matches(line, "vt %f %f", 2, n)) {
    for (int i = 0; i < 2; ++i) data.uvs.push_back(static_cast<float>(n[i]));
  } else {
    for (const FaceForm& form : FACE_FORMS) {
      readCorners(line, form, data.face);
      if (data.face.size() < 3) continue;
      addFace(data.face, data.corners);
      return;
    }
  }
}

bool inList(int64_t index, size_t entries) {
  return index >= 0 && static_cast<uint64_t>(index) < entries;
}

// A corner is usable when each index it has lies inside its list.
bool usable(const Corner& c, const ObjData& data) {
  return inList(c.position, data.positions.size() / 3) &&
         (c.uv == ABSENT || inList(c.uv, data.uvs.size() / 2)) &&
         (c.normal == ABSENT || inList(c.normal, data.normals.size() / 3));
}

// Appends the `width` floats of entry `index` of `source`, or zeros for a corner
// that names none.
void appendAttribute(std::vector<float>& vertices, const std::vector<float>& source, int64_t index,
                     size_t width) {
  if (index == ABSENT) {
    vertices.insert(vertices.end(), width, 0.0f);
    return;
  }
  const float* first = &source[static_cast<size_t>(index) * width];
  vertices.insert(vertices.end(), first, first + width);
}

// Interleaves the corners of every usable triangle; only the attributes the
// file has lines for are stored, so the flags describe the layout exactly.
Mesh buildMesh(const ObjData& data, const std::string& fileName) {
  Mesh mesh;
  mesh.hasNormals = !data.normals.empty();
  mesh.hasUvs = !data.uvs.empty();
  mesh.hasColor = false;
  mesh.material.color = glm::vec4(1.0f);
  mesh.material.shaderPair = {"pn", "pn"};

  size_t skipped = 0;
  for (size_t t = 0; t + 3 <= data.corners.size(); t += 3) {
    const Corner* triangle = &data.corners[t];
    if (!usable(triangle[0], data) || !usable(triangle[1], data) || !usable(triangle[2], data)) {
      ++skipped;
      continue;
    }
    for (int k = 0; k < 3; ++k) {
      const Corner& c = triangle[k];
      const float* p = &data.positions[static_cast<size_t>(c.position) * 3];
      mesh.vertices.insert(mesh.vertices.end(), p, p + 3);
      if (mesh.hasNormals) appendAttribute(mesh.vertices, data.normals, c.normal, 3);
      if (mesh.hasUvs) appendAttribute(mesh.vertices, data.uvs, c.uv, 2);
      mesh.indices.push_back(static_cast<uint32_t>(mesh.indices.size()));
    }
  }
  if (skipped)
    DLOG(LogLevel::Warning, "Skipped %zu triangles of obj %s with indices outside its lists\n",
         skipped, fileName.c_str());
  return mesh;
}
// A folder opens for reading on some systems but holds no lines; it must not
// hide the files that the later lookups would find.
FILE* openText(const std::string& path) {
  FILE* file = resources::openFile(path.c_str(), "r");
  if (file && platform::isFolder(file)) {
    fclose(file);
    return nullptr;
  }
  return file;
}
}  // namespace

bool parseObj(std::string fileName) {
  FILE* file = openText(fileName);
  if (!file) file = openText("assets/models/" + fileName + ".obj");
  if (!file) return false;

  // Whole lines, however long: a face of many corners must not lose its tail.
  ObjData data;
  // Read by the chunk, not by fgets: a NUL byte in a line must not hide its
  // length. Each line goes on with its '\n', as getline hands it.
  std::string line;
  char chunk[65536];
  for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;) {
    for (size_t at = 0; at < got;) {
      const void* newline = memchr(chunk + at, '\n', got - at);
      size_t stop = newline ? static_cast<size_t>(static_cast<const char*>(newline) - chunk) + 1 : got;
      line.append(chunk + at, stop - at);
      at = stop;
      if (!newline) continue;
      readLine(line.c_str(), data);
      line.clear();
    }
  }
  if (!line.empty()) readLine(line.c_str(), data);
  fclose(file);

  Model result;
  result.meshes.push_back(buildMesh(data, fileName));
  models[fileName] = std::move(result);
  return true;
}
}  // namespace model
