// The model cache and the two model formats: models load by name on first use,
// from a Wavefront OBJ file or a binary .mod file under "assets/models/", and
// stay cached, at a fixed address, until exit.
//
// Loaders never abort: a missing file is reported through the result, a bad
// one is logged and yields what could be read safely (possibly nothing).
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "assets/model_records.h"

namespace model {
extern std::map<std::string, Model> models;  // by the name a scene node gives

// The cached model of that name, loaded on first use: the name as a path to an
// OBJ file, then assets/models/<name>.obj, then assets/models/<name>.mod. A name
// found nowhere caches an empty model, so the disk is searched once per name.
Model* getModel(std::string name);

// Reads an OBJ file (the name as a path, else assets/models/<name>.obj) into
// models[fileName]. False, and the cache untouched, when neither opens.
bool parseObj(std::string fileName);

// Reads assets/models/<name>.mod into models[name]. False, and the cache
// untouched, when the file does not open.
bool parseMod(std::string name);
// Appends the meshes, curves and children of one model block, read from the
// stream's position, to `model`. Stops at the first block the stream cannot
// supply in full, keeping what was read before it.
void readMod(Model& model, FILE* file);
}  // namespace model
