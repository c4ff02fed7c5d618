// Fuzzes the OBJ importer. Whatever the file, the model holds one mesh whose
// vertices are whole corners of the layout its flags describe, and whose every
// index points at a real vertex.
#include "assets/model.h"
#include "harness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::quietLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = fuzz::writeInput(data, size, ".obj");
  FUZZ_CHECK(model::parseObj(path));
  auto found = model::models.find(path);
  FUZZ_CHECK(found != model::models.end());
  const model::Model& model = found->second;
  FUZZ_CHECK(model.meshes.size() == 1 && model.children.empty());
  FUZZ_CHECK(model.animation.curves.empty());

  const model::Mesh& mesh = model.meshes[0];
  size_t stride = 3 + (mesh.hasNormals ? 3 : 0) + (mesh.hasUvs ? 2 : 0);
  FUZZ_CHECK(!mesh.hasColor);
  FUZZ_CHECK(mesh.vertices.size() == mesh.indices.size() * stride);
  FUZZ_CHECK(mesh.indices.size() % 3 == 0);
  size_t vertices = mesh.vertices.size() / stride;
  for (size_t i = 0; i < mesh.indices.size(); ++i) FUZZ_CHECK(mesh.indices[i] < vertices);
  // Every corner of a face after its first takes at least two bytes (" 1"),
  // and a fan of n corners has 3n - 6: memory grows with the file, not with
  // any number in it.
  FUZZ_CHECK(mesh.indices.size() * 2 <= size * 3);
  fuzz::readAll(reinterpret_cast<const unsigned char*>(mesh.vertices.data()),
                mesh.vertices.size() * sizeof(float));
  model::models.clear();
  return 0;
}
