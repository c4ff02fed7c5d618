// The model converter: the OBJ importer and the .mod writer of the asset
// layer, with the animation description read through Lua here in the host.
#include "host/convertmodel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/model.h"
#include "assets/model_write.h"
#include "host/animationscript.h"
#include "platform/files.h"

namespace convertmodel {
namespace {
// Messages from elsewhere (Lua's) may span lines; the report is one line.
int fail(const std::string& message) {
  std::string line = message;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  fprintf(stderr, "tarnwick: %s\n", line.c_str());
  return 1;
}

// Why the file cannot be read as an OBJ file; empty when it can.
std::string unreadable(const std::string& path) {
  FILE* file = platform::openFile(path, "r");
  if (!file) return strerror(errno);
  bool folder = platform::isFolder(file);
  fclose(file);
  return folder ? "it is a folder" : "";
}

// The imported mesh, or null when the file holds no triangles.
const model::Mesh* importObj(const std::string& path) {
  model::parseObj(path);
  const model::Model& imported = model::models[path];
  if (imported.meshes.empty() || imported.meshes[0].vertices.empty()) return nullptr;
  return &imported.meshes[0];
}
}  // namespace

int run(const std::string& objPath, const std::string& modPath, const std::string& animationPath) {
  // Checked here: the importer would fall back to a file under assets/models/.
  std::string problem = unreadable(objPath);
  if (!problem.empty()) return fail("cannot open OBJ file '" + objPath + "': " + problem);
  const model::Mesh* mesh = importObj(objPath);
  if (!mesh) return fail("OBJ file '" + objPath + "' has no faces");
  uint64_t vertices = mesh->vertices.size() / static_cast<size_t>(model::floatsPerVertex(*mesh));
  problem = model::modCountProblem(vertices, mesh->indices.size());
  if (!problem.empty()) return fail("OBJ file '" + objPath + "' has " + problem);

  model::Model result;
  result.meshes.push_back(model::toModLayout(*mesh));
  if (!animationPath.empty() &&
      !animationscript::read(animationPath, result.animation.curves, problem))
    return fail("animation '" + animationPath + "': " + problem);

  FILE* file = platform::openFile(modPath, "wb");
  if (!file) {
    problem = strerror(errno);
    return fail("cannot write '" + modPath + "': " + problem);
  }
  bool written = model::writeMod(result, file, problem);
  if (fclose(file) != 0 && written) {
    written = false;
    problem = "the file could not be written";
  }
  if (!written) {
    remove(modPath.c_str());
    return fail("cannot write '" + modPath + "': " + problem);
  }
  printf("Wrote %s: %llu vertices, %zu curves\n", modPath.c_str(),
         static_cast<unsigned long long>(vertices), result.animation.curves.size());
  return 0;
}
}  // namespace convertmodel
