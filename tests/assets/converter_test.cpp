// The .mod writer read back by the reader, and the converter command in the
// real executable: a round trip through files, and one line with status 1 for
// input it cannot convert.
#include <gtest/gtest.h>

#include <unistd.h>

#include <glm/gtc/quaternion.hpp>

#include <cmath>
#include <cstdio>

#include "assets/model.h"
#include "assets/model_write.h"
#include "support/game_run.h"

using namespace testsupport;

namespace {
animation::KeyFrame key(glm::vec3 translation, glm::vec3 scale, glm::quat rotation) {
  animation::KeyFrame k;
  k.translation = translation;
  k.scale = scale;
  k.rotation = rotation;
  return k;
}

void expectSameKeys(const animation::Curve& read, const animation::Curve& written) {
  EXPECT_EQ(read.target, written.target);
  ASSERT_EQ(read.keyFrames.size(), written.keyFrames.size());
  for (const auto& entry : written.keyFrames) {
    const animation::KeyFrame& a = read.keyFrames.at(entry.first);
    const animation::KeyFrame& b = entry.second;
    EXPECT_EQ(a.translation, b.translation);
    EXPECT_EQ(a.scale, b.scale);
    EXPECT_EQ(a.rotation, b.rotation);
    EXPECT_EQ(a.interpolationType, b.interpolationType);
  }
}

model::Model readModFile(const std::string& path) {
  model::Model read;
  FILE* file = fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr) << path;
  if (!file) return read;
  model::readMod(read, file);
  EXPECT_EQ(fgetc(file), EOF) << "bytes after the model block";
  fclose(file);
  return read;
}
}  // namespace

TEST(ModWriter, WhatIsWrittenReadsBackTheSameToAnyDepth) {
  model::Model tree;
  model::Mesh mesh;
  for (int i = 0; i < 24; ++i) mesh.vertices.push_back(static_cast<float>(i) * 0.5f - 3);
  mesh.indices = {2, 1, 0};
  mesh.material.color = glm::vec4(0.25f, 0.5f, 1, 0.75f);
  tree.meshes.push_back(mesh);
  tree.animation.curves.push_back(
      {{{0, key({1, 2, 3}, {1, 1, 1}, {1, 0, 0, 0})}, {30, key({-4, 5, 6}, {2, 2, 2}, {0, 0, 1, 0})}},
       animation::TRANSLATION,
       {}});
  tree.animation.curves.push_back(
      {{{7, key({}, {1, 3, 1}, glm::angleAxis(1.0f, glm::vec3(0, 0, 1)))}}, animation::ROTATION, {}});
  tree.animation.curves[0].keyFrames[30].interpolationType = animation::CUBIC;
  tree.children.emplace_back();
  tree.children[0].children.emplace_back();
  tree.children[0].children[0].meshes.push_back(mesh);

  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  std::string problem = "stale";
  ASSERT_TRUE(model::writeMod(tree, file, problem)) << problem;
  EXPECT_TRUE(problem.empty());
  rewind(file);
  model::Model read;
  model::readMod(read, file);
  fclose(file);

  ASSERT_EQ(read.meshes.size(), 1u);
  EXPECT_EQ(read.meshes[0].vertices, mesh.vertices);
  EXPECT_EQ(read.meshes[0].indices, mesh.indices);
  EXPECT_EQ(read.meshes[0].material.color, mesh.material.color);
  ASSERT_EQ(read.animation.curves.size(), 2u);
  for (size_t i = 0; i < 2; ++i) expectSameKeys(read.animation.curves[i], tree.animation.curves[i]);
  ASSERT_EQ(read.children.size(), 1u);
  ASSERT_EQ(read.children[0].children.size(), 1u);
  EXPECT_EQ(read.children[0].children[0].meshes.at(0).vertices, mesh.vertices);
}

TEST(ModWriter, RefusesMeshesTheReaderWouldNotTakeBack) {
  EXPECT_EQ(model::modCountProblem(model::MOD_MAX_VERTICES, UINT32_MAX), "");
  EXPECT_EQ(model::modCountProblem(model::MOD_MAX_VERTICES + 1, 0),
            "more vertices than a .mod file holds (536870912, at most 536870911)");
  EXPECT_NE(model::modCountProblem(0, uint64_t{UINT32_MAX} + 1), "");

  model::Model outOfRange;
  outOfRange.meshes.emplace_back();
  outOfRange.meshes[0].vertices.assign(16, 0.0f);
  outOfRange.meshes[0].indices = {0, 1, 2};
  FILE* file = tmpfile();
  std::string problem;
  EXPECT_FALSE(model::writeMod(outOfRange, file, problem));
  EXPECT_EQ(problem, "a mesh's indices pass its vertices");
  fclose(file);
}

// A mesh without normals gets its face normals; uvs move to the last two
// floats whatever came before them.
TEST(ModWriter, MeshesAreLaidOutEightFloatsAVertex) {
  model::Mesh mesh;
  mesh.hasUvs = true;
  mesh.vertices = {0, 0, 0, 0.1f, 0.2f, 2, 0, 0, 0.3f, 0.4f, 0, 0, 2, 0.5f, 0.6f};
  model::Mesh laid = model::toModLayout(mesh);
  EXPECT_TRUE(laid.hasNormals && laid.hasUvs && !laid.hasColor);
  // (2, 0, 0) × (0, 0, 2) points down the y axis.
  const std::vector<float> expected = {0, 0, 0, 0, -1, 0, 0.1f, 0.2f,  //
                                       2, 0, 0, 0, -1, 0, 0.3f, 0.4f,  //
                                       0, 0, 2, 0, -1, 0, 0.5f, 0.6f};
  EXPECT_EQ(laid.vertices, expected);
}

// An OBJ quad with texture coordinates but no normals and a description of
// all three curves, converted by the executable and read back.
TEST(ModelConverter, ConvertsAnObjAndItsAnimationIntoAModFile) {
  GameFolder work;
  work.write("quad.obj",
             "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n");
  work.write("spin.lua",
             "local turn = {0, 0, 1}\n"
             "return {\n"
             "  scale = { [0] = 1, [12] = {1, 2, 3} },\n"
             "  translation = { [0] = {0, 0, 0}, [24] = {4, 5, 6} },\n"
             "  rotation = { [0] = {angle = 0, axis = turn}, [24] = {angle = 180, axis = {0, 0, 5}} },\n"
             "}\n");
  GameRun run = runTarnwick({"--convert-model", "quad.obj", "quad.mod", "--animation", "spin.lua"},
                            work.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "Wrote quad.mod: 6 vertices, 3 curves\n");

  model::Model read = readModFile(work.file("quad.mod"));
  ASSERT_EQ(read.meshes.size(), 1u);
  const model::Mesh& mesh = read.meshes[0];
  ASSERT_EQ(mesh.vertices.size(), 48u);
  EXPECT_EQ(mesh.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(mesh.material.color, glm::vec4(1));
  // Corners c, d, a, a, b, c of the quad; every normal faces +z.
  const float corners[6][4] = {{1, 1, 1, 1},   {-1, 1, 0, 1}, {-1, -1, 0, 0},
                               {-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}};
  for (int v = 0; v < 6; ++v) {
    const float* f = &mesh.vertices[static_cast<size_t>(v) * 8];
    const float expected[8] = {corners[v][0], corners[v][1], 0, 0, 0, 1, corners[v][2], corners[v][3]};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(f[i], expected[i]) << "vertex " << v << " float " << i;
  }

  // Curves in the order translation, rotation, scale, whatever the file's order.
  glm::quat half = glm::angleAxis(glm::radians(180.0f), glm::vec3(0, 0, 1));
  ASSERT_EQ(read.animation.curves.size(), 3u);
  expectSameKeys(read.animation.curves[0],
                 {{{0, animation::KeyFrame()}, {24, key({4, 5, 6}, {1, 1, 1}, {1, 0, 0, 0})}},
                  animation::TRANSLATION,
                  {}});
  const animation::Curve& rotation = read.animation.curves[1];
  EXPECT_EQ(rotation.target, animation::ROTATION);
  EXPECT_NEAR(std::fabs(glm::dot(rotation.keyFrames.at(24).rotation, half)), 1, 1e-6);
  const animation::Curve& scale = read.animation.curves[2];
  EXPECT_EQ(scale.target, animation::SCALE);
  EXPECT_EQ(scale.keyFrames.at(0).scale, glm::vec3(1));
  EXPECT_EQ(scale.keyFrames.at(12).scale, glm::vec3(1, 2, 3));
}

// A pentagon is three triangles fanned around its first corner, not a
// quadrilateral of its first four.
TEST(ModelConverter, APentagonConvertsToThreeTriangles) {
  GameFolder work;
  work.write("pentagon.obj", "v 0 0 0\nv 2 0 0\nv 3 1 0\nv 1 3 0\nv -1 1 0\nf 1 2 3 4 5\n");
  GameRun run = runTarnwick({"--convert-model", "pentagon.obj", "pentagon.mod"}, work.path());
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "Wrote pentagon.mod: 9 vertices, 0 curves\n");

  model::Model read = readModFile(work.file("pentagon.mod"));
  ASSERT_EQ(read.meshes.size(), 1u);
  const model::Mesh& mesh = read.meshes[0];
  ASSERT_EQ(mesh.vertices.size(), 9u * 8u);
  const float fan[9][2] = {{0, 0}, {2, 0}, {3, 1}, {0, 0}, {3, 1}, {1, 3}, {0, 0}, {1, 3}, {-1, 1}};
  for (int v = 0; v < 9; ++v) {
    const float* f = &mesh.vertices[static_cast<size_t>(v) * 8];
    EXPECT_EQ(f[0], fan[v][0]) << "vertex " << v;
    EXPECT_EQ(f[1], fan[v][1]) << "vertex " << v;
    EXPECT_EQ(f[5], 1) << "vertex " << v << ": a face normal along +z";
  }
}

TEST(ModelConverter, BadInputIsOneLineAndStatusOneWithNoFileLeft) {
  GameFolder work;
  work.write("points.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\n");
  work.write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
  work.write("broken.lua", "return {\n");
  work.write("wrong.lua", "return { rotation = { [0] = {angle = 90} } }\n");
  work.write("named.lua", "return { wobble = {} }\n");
  // Over half the float range, and over all of it.
  work.write("huge.lua", "return { translation = { [0] = {0, 0, 0}, [24] = {0, 3e38, 0} } }\n");
  work.write("huger.lua", "return { scale = { [0] = 1, [24] = -1e300 } }\n");
  work.write("whole.lua",
             "return { rotation = { [0] = {angle = 0, axis = {0, 1, 0}},"
             " [24] = {angle = 360, axis = {0, 1, 0}} } }\n");
  struct Case {
    std::vector<std::string> args;
    std::string line;
  };
  const Case cases[] = {
      {{"missing.obj", "out.mod"},
       "tarnwick: cannot open OBJ file 'missing.obj': No such file or directory"},
      {{"points.obj", "out.mod"}, "tarnwick: OBJ file 'points.obj' has no faces"},
      {{"tri.obj", "out.mod", "--animation", "broken.lua"},
       "tarnwick: animation 'broken.lua': broken.lua:2: unexpected symbol near '<eof>'"},
      {{"tri.obj", "out.mod", "--animation", "wrong.lua"},
       "tarnwick: animation 'wrong.lua': rotation key frame 0 is not {angle = degrees, "
       "axis = {x, y, z}} with a non-zero axis"},
      {{"tri.obj", "out.mod", "--animation", "named.lua"},
       "tarnwick: animation 'named.lua': unknown field 'wobble' (curves are translation, "
       "rotation and scale)"},
      {{"tri.obj", "out.mod", "--animation", "huge.lua"},
       "tarnwick: animation 'huge.lua': translation has a value too large to interpolate "
       "(beyond 1.7e38)"},
      {{"tri.obj", "out.mod", "--animation", "huger.lua"},
       "tarnwick: animation 'huger.lua': scale has a value too large to interpolate "
       "(beyond 1.7e38)"},
      {{"tri.obj", "out.mod", "--animation", "whole.lua"},
       "tarnwick: animation 'whole.lua': rotation key frames 0 and 24 are a full turn apart; "
       "add a key frame between them"},
      {{"tri.obj", "no/such/folder/out.mod"},
       "tarnwick: cannot write 'no/such/folder/out.mod': No such file or directory"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--convert-model"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    GameRun run = runTarnwick(args, work.path());
    EXPECT_EQ(run.exitStatus, 1) << c.line;
    EXPECT_EQ(run.err, c.line + "\n");
    EXPECT_EQ(access(work.file("out.mod").c_str(), F_OK), -1) << c.line;
  }
}
