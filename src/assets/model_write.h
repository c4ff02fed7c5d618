// Writing .mod files (the layout model_mod.cpp reads) from model records. For
// tools such as the model converter; nothing here touches GL or Lua.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "assets/model_records.h"

namespace model {
// The most vertices one .mod mesh holds: its count of floats, 8 a vertex, is
// a 32-bit number.
const uint64_t MOD_MAX_VERTICES = UINT32_MAX / 8;

// Why a mesh of `vertices` vertices and `indices` indices cannot be stored in
// a .mod file; empty when it can.
std::string modCountProblem(uint64_t vertices, uint64_t indices);

// The mesh as a .mod file stores it: 8 floats a vertex (position, normal, uv)
// whatever its flags. Without normals each triangle gets its face normal;
// without uvs they are (0, 0); vertex colours are dropped. Indices, colour and
// shaders are kept.
Mesh toModLayout(const Mesh& mesh);

// Writes `model`, whose meshes hold 8 floats a vertex, as one model block with
// its children nested. False, with `problem` saying why, when a mesh cannot be
// stored or the stream fails; the stream then holds a partial block.
bool writeMod(const Model& model, FILE* file, std::string& problem);
}  // namespace model
