// Model files: OBJ import, the .mod reader on well-formed and damaged files,
// and the cache's lookup order. Every file is written by the test into a
// temporary folder that becomes the working directory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/model.h"
#include "models/mod_bytes.h"
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
    testing::internal::CaptureStdout();
    *result = model::getModel(name);
    return testing::internal::GetCapturedStdout();
  }

  GameFolder game;

 private:
  std::filesystem::path previous_;
};

std::vector<float> corners(const model::Mesh& mesh, int first, int count) {
  auto begin = mesh.vertices.begin() + first * model::floatsPerVertex(mesh);
  return std::vector<float>(begin, begin + count * model::floatsPerVertex(mesh));
}
}  // namespace

TEST_F(ModelFiles, ObjFacesBecomeCornersInOrderWithTheirAttributes) {
  game.write("assets/models/card.obj",
             "# a card\no card\nmtllib none.mtl\n"
             "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
             "vn 0 0 1\nvt 0 0\nvt 1 0\nvt 1 1 0.9\nvt 0 1\n"
             "s off\nf 1/1/1 2/2/1 3/3/1\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1 1/1/1\n");
  model::Model* card = nullptr;
  EXPECT_EQ(load("card", &card), "");
  ASSERT_EQ(card->meshes.size(), 1u);
  const model::Mesh& mesh = card->meshes[0];
  EXPECT_TRUE(mesh.hasNormals && mesh.hasUvs && !mesh.hasColor);
  EXPECT_EQ(model::floatsPerVertex(mesh), 8);
  EXPECT_EQ(mesh.material.shaderPair.vs, "pn");
  EXPECT_EQ(mesh.material.shaderPair.ps, "pn");
  EXPECT_EQ(mesh.material.color, glm::vec4(1));
  // The triangle, then the quadrilateral's corners c, d, a, a, b, c.
  ASSERT_EQ(mesh.vertices.size(), 9u * 8u);
  EXPECT_EQ(corners(mesh, 0, 1), (std::vector<float>{0, 0, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(corners(mesh, 3, 2), (std::vector<float>{1, 1, 0, 0, 0, 1, 1, 1,  //
                                                     0, 1, 0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(corners(mesh, 8, 1), (std::vector<float>{1, 1, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(card->children.empty());
  EXPECT_TRUE(card->animation.curves.empty());
}

TEST_F(ModelFiles, ObjVerticesHoldOnlyTheAttributesTheFileHasAndEachCornerItsOwn) {
  // No vt lines: position and normal only. The first face has no normal
  // indices, so its normals stay zero even though the second face's do not.
  game.write("lit.obj",
             "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\n"
             "f 1 2 3\nf 1//1 2//1 3//1\n");
  // No vn or vt lines at all: positions only.
  game.write("assets/models/bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 3 2 1\n");

  model::Model* lit = model::getModel("lit.obj");
  ASSERT_EQ(lit->meshes.size(), 1u);
  const model::Mesh& litMesh = lit->meshes[0];
  EXPECT_TRUE(litMesh.hasNormals);
  EXPECT_FALSE(litMesh.hasUvs);
  ASSERT_EQ(litMesh.vertices.size(), 6u * 6u);
  EXPECT_EQ(corners(litMesh, 1, 1), (std::vector<float>{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(corners(litMesh, 4, 1), (std::vector<float>{1, 0, 0, 0, 0, 1}));

  const model::Mesh& bare = model::getModel("bare")->meshes.at(0);
  EXPECT_FALSE(bare.hasNormals || bare.hasUvs);
  EXPECT_EQ(bare.vertices, (std::vector<float>{0, 1, 0, 1, 0, 0, 0, 0, 0}));
}

TEST_F(ModelFiles, ObjTrianglesWithIndicesOutsideTheListsAreDropped) {
  game.write("assets/models/broken.obj",
             "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
             "f 1 2 4\nf 0 1 2\nf -1 -2 -3\nf 1/1 2/1 3/1\nf 1//9 2//9 3//9\n"
             "f 99999999999 1 2\nf 1 2 3\n");
  game.write("assets/models/points.obj", "v 0 0 0\nv 1 0 0\n");
  model::Model* broken = nullptr;
  std::string log = load("broken", &broken);
  EXPECT_EQ(log, "Skipped 6 triangles of obj broken with indices outside its lists\n");
  EXPECT_EQ(broken->meshes.at(0).vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}));

  // Vertices without faces: a stored model with an empty mesh.
  model::Model* points = nullptr;
  EXPECT_EQ(load("points", &points), "");
  ASSERT_EQ(points->meshes.size(), 1u);
  EXPECT_TRUE(points->meshes[0].vertices.empty() && points->meshes[0].indices.empty());
}

TEST_F(ModelFiles, LookupTriesThePathThenObjThenModAndCachesMissesToo) {
  game.write("both", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  game.write("assets/models/both.obj", "v 5 5 5\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  game.write("assets/models/objmod.obj", "v 0 0 0\n");
  writeMod("objmod", ModBytes().u32(1).mesh({0}).u32(0).u32(0));
  writeMod("empty", ModBytes().u32(0).u32(0).u32(0));
  std::filesystem::create_directories("tile");  // a folder is no OBJ file
  writeMod("tile", ModBytes().u32(1).mesh({0}).u32(0).u32(0));

  model::Model* found = nullptr;
  EXPECT_EQ(load("both", &found), "");
  EXPECT_EQ(found->meshes.at(0).vertices.at(0), 0.0f);
  EXPECT_EQ(model::models.count("both"), 1u);
  EXPECT_EQ(load("objmod", &found), "");
  EXPECT_TRUE(found->meshes.at(0).vertices.empty());

  EXPECT_EQ(load("tile", &found), "Attempt to parse mod tile\n");
  EXPECT_EQ(found->meshes.size(), 1u);
  EXPECT_EQ(load("empty", &found), "Attempt to parse mod empty\n");
  EXPECT_TRUE(found->meshes.empty() && found->animation.curves.empty() &&
              found->children.empty());

  EXPECT_EQ(load("nowhere", &found), "Attempt to parse mod nowhere\nFailed to parse mod nowhere\n");
  EXPECT_TRUE(found->meshes.empty());
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
  mod.u32(1);                           // a child with a child of its own
  mod.u32(0).u32(0).u32(1);
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
  EXPECT_EQ(mesh.material.shaderPair.ps, "pnt");
  EXPECT_TRUE(mesh.hasNormals && mesh.hasUvs && !mesh.hasColor);
  EXPECT_TRUE(tree->meshes[1].vertices.empty());

  ASSERT_EQ(tree->animation.curves.size(), 1u);
  const animation::Curve& curve = tree->animation.curves[0];
  EXPECT_EQ(curve.target, animation::ROTATION);
  ASSERT_EQ(curve.keyFrames.size(), 2u);
  const animation::KeyFrame& first = curve.keyFrames.at(0);
  EXPECT_EQ(first.translation, glm::vec3(2, 0, 0));
  EXPECT_EQ(first.scale, glm::vec3(1, 2, 3));
  EXPECT_EQ(first.rotation.x, 0.5f);
  EXPECT_EQ(first.rotation.z, 0.125f);
  EXPECT_EQ(first.rotation.w, 0.75f);
  EXPECT_EQ(first.interpolationType, animation::CUBIC);
  EXPECT_EQ(curve.keyFrames.at(10).translation.x, 3.0f);
  EXPECT_FALSE(curve.player);
  EXPECT_EQ(tree->animation.framesPerSecond, 0u);
  EXPECT_EQ(tree->animation.frames, 0u);

  ASSERT_EQ(tree->children.size(), 1u);
  ASSERT_EQ(tree->children[0].children.size(), 1u);
  EXPECT_EQ(tree->children[0].children[0].meshes.at(0).indices, (std::vector<uint32_t>{1}));
}

TEST_F(ModelFiles, DamagedModFilesKeepWhatWasReadCompletelyAndNothingUnsafe) {
  // Indices past the two vertices: that mesh is dropped, reading goes on.
  writeMod("farIndex", ModBytes().u32(2).mesh({0, 2, 1}).mesh({1, 0, 1}).u32(0).u32(0));
  // A vertex count far beyond the file: no huge allocation, nothing kept.
  writeMod("hugeCount", ModBytes().u32(1).u32(0xFFFFFFFFu).floats({1, 2, 3}));
  // Cut inside the second key frame: the meshes stay, the curve goes.
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
