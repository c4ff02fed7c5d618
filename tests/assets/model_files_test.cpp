// Model files: OBJ import, the .mod reader on well-formed and damaged files,
// and the cache's lookup order. Every file is written by the test into a
// temporary folder that becomes the working directory.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/animation.h"
#include "assets/mod_bytes.h"
#include "assets/model.h"
#include "support/capture.h"
#include "support/game_run.h"

using namespace testsupport;

namespace {
class ModelFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(game.path());
    model::models.clear();
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    model::models.clear();
  }
  void writeMod(const std::string& name, const ModBytes& mod) {
    game.write("assets/models/" + name + ".mod", mod.bytes);
  }
  // Loads through the cache and returns what the loaders logged.
  std::string load(const std::string& name, model::Model** result) {
    return testsupport::captureOutput([&] { *result = model::getModel(name); });
  }

  GameFolder game;

 private:
  std::filesystem::path previous_;
};

// Vertex k of the mesh, as many floats as its flags say.
std::vector<float> corner(const model::Mesh& mesh, int k) {
  auto begin = mesh.vertices.begin() + k * model::floatsPerVertex(mesh);
  return std::vector<float>(begin, begin + model::floatsPerVertex(mesh));
}
}  // namespace

TEST_F(ModelFiles, ObjFacesBecomeCornersInOrderWithTheAttributesTheFileHas) {
  game.write("assets/models/card.obj",
             "# a card\no card\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
             "vn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1 0.9\nvt 0 1\ns off\n"
             "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 2/2/1 3/3/1 4/4/1\n");
  // No vt lines: position and normal only. The first face has no normal
  // indices, so its normals stay zero though the second face's do not.
  game.write("lit.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1 2 3\nf 1//1 2//1 3//1\n");

  model::Model* card = nullptr;
  EXPECT_EQ(load("card", &card), "");
  const model::Mesh& mesh = card->meshes.at(0);
  EXPECT_EQ(mesh.material.shaderPair.vs, "pn");
  // The triangle, then the quadrilateral's corners c, d, a, a, b, c.
  ASSERT_EQ(mesh.vertices.size(), 9u * 8u);
  EXPECT_EQ(corner(mesh, 0), (std::vector<float>{0, 0, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(corner(mesh, 3), (std::vector<float>{1, 1, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(corner(mesh, 4), (std::vector<float>{0, 1, 0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(corner(mesh, 8), (std::vector<float>{1, 1, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

  const model::Mesh& lit = model::getModel("lit.obj")->meshes.at(0);
  EXPECT_TRUE(lit.hasNormals && !lit.hasUvs);
  ASSERT_EQ(lit.vertices.size(), 6u * 6u);
  EXPECT_EQ(corner(lit, 1), (std::vector<float>{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(corner(lit, 4), (std::vector<float>{1, 0, 0, 0, 0, 1}));
}

// A face of five or more corners is a fan around its first corner, however
// long its line: a pentagon gives three triangles, a face of 100 corners (a
// line of some 300 characters) 98.
TEST_F(ModelFiles, ObjFacesOfFiveOrMoreCornersBecomeFansOfTriangles) {
  game.write("pentagon.obj",
             "v 0 0 0\nv 2 0 0\nv 3 1 0\nv 1 3 0\nv -1 1 0\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\nf 1/1 2/2 3/3 4/4 5/5\n");
  std::string ring, face = "f";
  for (int k = 1; k <= 100; ++k) {
    ring += "v " + std::to_string(k) + " 0 0\n";
    face += " " + std::to_string(k);
  }
  game.write("ring.obj", ring + face + "\n");

  const model::Mesh& pentagon = model::getModel("pentagon.obj")->meshes.at(0);
  ASSERT_EQ(pentagon.vertices.size(), 9u * 5u);
  const int fan[9] = {0, 1, 2, 0, 2, 3, 0, 3, 4};
  const float positions[5][2] = {{0, 0}, {2, 0}, {3, 1}, {1, 3}, {-1, 1}};
  const float uvs[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5f, 0.5f}};
  for (int v = 0; v < 9; ++v) {
    const float* p = positions[fan[v]];
    const float* t = uvs[fan[v]];
    EXPECT_EQ(corner(pentagon, v), (std::vector<float>{p[0], p[1], 0, t[0], t[1]})) << v;
  }

  const model::Mesh& ring100 = model::getModel("ring.obj")->meshes.at(0);
  ASSERT_EQ(ring100.vertices.size(), 98u * 3u * 3u);
  for (int t = 0; t < 98; ++t)
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(ring100.vertices[static_cast<size_t>(9 * t + 3 * k)], static_cast<float>(k == 0 ? 1 : t + 1 + k))
          << "triangle " << t << " corner " << k;
}

TEST_F(ModelFiles, ObjTrianglesWithIndicesOutsideTheListsAreDropped) {
  game.write("assets/models/broken.obj",
             "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
             "f 1 2 4\nf 0 1 2\nf -1 -2 -3\nf 1/1 2/1 3/1\nf 1//9 2//9 3//9\n"
             "f 99999999999 1 2\nf 3 2 1\n");
  model::Model* broken = nullptr;
  EXPECT_EQ(load("broken", &broken),
            "Skipped 6 triangles of obj broken with indices outside its lists\n");
  EXPECT_EQ(broken->meshes.at(0).vertices, (std::vector<float>{0, 1, 0, 1, 0, 0, 0, 0, 0}));
}

TEST_F(ModelFiles, LookupTriesThePathThenObjThenModAndCachesMissesToo) {
  game.write("both", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  game.write("assets/models/both.obj", "v 5 5 5\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  game.write("assets/models/objmod.obj", "v 0 0 0\n");  // no faces: an empty mesh
  writeMod("objmod", ModBytes().u32(1).mesh({0}).u32(0).u32(0));
  std::filesystem::create_directories("tile");  // a folder is no OBJ file
  writeMod("tile", ModBytes().u32(1).mesh({0}).u32(0).u32(0));
  writeMod("empty", ModBytes().u32(0).u32(0).u32(0));

  model::Model* found = nullptr;
  EXPECT_EQ(load("both", &found), "");
  EXPECT_EQ(found->meshes.at(0).vertices.at(0), 0.0f);
  EXPECT_EQ(load("objmod", &found), "");
  EXPECT_TRUE(found->meshes.at(0).vertices.empty());
  EXPECT_EQ(load("tile", &found), "Attempt to parse mod tile\n");
  EXPECT_EQ(found->meshes.size(), 1u);
  EXPECT_EQ(load("empty", &found), "Attempt to parse mod empty\n");
  EXPECT_TRUE(found->meshes.empty() && found->children.empty());

  EXPECT_EQ(load("nowhere", &found), "Attempt to parse mod nowhere\nFailed to parse mod nowhere\n");
  model::Model* again = nullptr;
  EXPECT_EQ(load("nowhere", &again), "");
  EXPECT_EQ(again, found);
}

TEST_F(ModelFiles, ModBlocksCarryMeshesCurvesAndNestedChildren) {
  ModBytes mod;
  mod.u32(2).mesh({0, 1, 1}).u32(0).u32(0).floats({0, 0, 0, 0});  // the second mesh is empty
  mod.u32(1).u32(animation::ROTATION).u32(3);
  mod.keyFrame(10, 1, {0, 0, 0, 1}, 0).keyFrame(0, 2, {0.5f, 0.25f, 0.125f, 0.75f}, 2);
  mod.keyFrame(10, 3, {0, 1, 0, 0}, 1);  // replaces the first
  mod.u32(1).u32(0).u32(0).u32(1);      // a child with a child of its own
  mod.u32(1).mesh({1}).u32(0).u32(0);
  writeMod("tree", mod);

  model::Model* tree = nullptr;
  EXPECT_EQ(load("tree", &tree), "Attempt to parse mod tree\n");
  ASSERT_EQ(tree->meshes.size(), 2u);
  const model::Mesh& mesh = tree->meshes[0];
  EXPECT_EQ(mesh.vertices.size(), 16u);
  EXPECT_EQ(mesh.vertices[15], 15.0f);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 1}));
  EXPECT_EQ(mesh.material.color, glm::vec4(0.5f, 0.25f, 1, 1));
  EXPECT_EQ(mesh.material.shaderPair.vs, "pnt");
  EXPECT_TRUE(mesh.hasNormals && mesh.hasUvs && !mesh.hasColor);

  const animation::Curve& curve = tree->animation.curves.at(0);
  EXPECT_EQ(curve.target, animation::ROTATION);
  ASSERT_EQ(curve.keyFrames.size(), 2u);
  const animation::KeyFrame& first = curve.keyFrames.at(0);
  EXPECT_EQ(first.translation, glm::vec3(2, 0, 0));
  EXPECT_EQ(first.scale, glm::vec3(1, 2, 3));
  EXPECT_EQ(first.rotation, glm::quat(0.75f, 0.5f, 0.25f, 0.125f));
  EXPECT_EQ(first.interpolationType, animation::CUBIC);
  EXPECT_EQ(curve.keyFrames.at(10).translation.x, 3.0f);

  EXPECT_EQ(tree->children.at(0).children.at(0).meshes.at(0).indices,
            (std::vector<uint32_t>{1}));
}

// A curve holding a value whose difference from its neighbour would overflow
// (or a NaN) is read but left out, with a line each; a value in a field the
// curve does not drive does not count, and the largest value allowed
// interpolates.
TEST_F(ModelFiles, ModCurvesTooLargeToInterpolateAreLeftOut) {
  const float largest = animation::MAX_KEY_VALUE;
  ModBytes mod = ModBytes().u32(0).u32(4);
  mod.u32(animation::TRANSLATION).u32(2);
  mod.keyFrame(0, FLT_MAX, {0, 0, 0, 1}, 1).keyFrame(24, -1, {0, 0, 0, 1}, 1);
  mod.u32(animation::ROTATION).u32(1).keyFrame(0, 0, {0, NAN, 0, 1}, 1);
  mod.u32(animation::SCALE).u32(1).keyFrame(0, FLT_MAX, {0, 0, 0, 1}, 1);
  mod.u32(animation::TRANSLATION).u32(2);
  mod.keyFrame(0, largest, {0, 0, 0, 1}, 1).keyFrame(24, -largest, {0, 0, 0, 1}, 1);
  writeMod("overflow", mod.u32(0));

  model::Model* model = nullptr;
  const std::string skipped = "Skipped a mod curve with key-frame values too large to interpolate\n";
  EXPECT_EQ(load("overflow", &model), "Attempt to parse mod overflow\n" + skipped + skipped);
  ASSERT_EQ(model->animation.curves.size(), 2u);
  EXPECT_EQ(model->animation.curves[0].target, animation::SCALE);
  for (float frame : {0.0f, 12.0f, 24.0f}) {
    float x = animation::evaluateFrame(model->animation, frame)[3][0];
    EXPECT_EQ(x, largest * (1 - frame / 12)) << "frame " << frame;
  }
}

TEST_F(ModelFiles, DamagedModFilesKeepWhatWasReadCompletelyAndNothingUnsafe) {
  // Indices past the two vertices: that mesh is dropped, reading goes on.
  writeMod("farIndex", ModBytes().u32(2).mesh({0, 2, 1}).mesh({1, 0, 1}).u32(0).u32(0));
  // A vertex count far beyond the file: no huge allocation, nothing kept.
  writeMod("hugeCount", ModBytes().u32(1).u32(0xFFFFFFFFu).floats({1, 2, 3}));
  // Cut inside the second key frame: the mesh stays, the curve goes.
  ModBytes cut = ModBytes().u32(1).mesh({0}).u32(1).u32(0).u32(2).keyFrame(0, 1, {0, 0, 0, 1}, 1);
  cut.bytes += cut.bytes.substr(cut.bytes.size() - 52, 20);
  writeMod("cut", cut);
  // Nested a hundred thousand levels deep.
  ModBytes deep;
  for (int i = 0; i < 100000; ++i) deep.u32(0).u32(0).u32(1);
  writeMod("deep", deep);

  model::Model* model = nullptr;
  EXPECT_EQ(load("farIndex", &model),
            "Attempt to parse mod farIndex\n"
            "Skipped a mod mesh whose indices pass its 2 vertices\n");
  ASSERT_EQ(model->meshes.size(), 1u);
  EXPECT_EQ(model->meshes[0].indices, (std::vector<uint32_t>{1, 0, 1}));

  EXPECT_EQ(load("hugeCount", &model),
            "Attempt to parse mod hugeCount\nEof while reading mod file\n");
  EXPECT_TRUE(model->meshes.empty());

  EXPECT_EQ(load("cut", &model), "Attempt to parse mod cut\nEof while reading mod file\n");
  EXPECT_EQ(model->meshes.size(), 1u);
  EXPECT_TRUE(model->animation.curves.empty());

  EXPECT_EQ(load("deep", &model),
            "Attempt to parse mod deep\n"
            "Mod file nests models deeper than 64 levels; the rest is ignored\n");
  int depth = 0;
  for (const model::Model* level = model; !level->children.empty(); level = &level->children[0])
    ++depth;
  EXPECT_EQ(depth, 64);
}
