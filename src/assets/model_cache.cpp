// The process-wide model cache: one entry per name ever asked for, loaded on
// first use and kept (at a fixed address) until exit. Model batches borrow
// their vertex data from these entries while a frame is drawn.
#include "assets/model.h"

namespace model {
std::map<std::string, Model> models;

Model* getModel(std::string name) {
  auto cached = models.find(name);
  if (cached != models.end()) return &cached->second;
  if (!parseObj(name)) parseMod(name);
  // Neither format found: the empty model stays, so the disk is asked once.
  return &models[name];
}
}  // namespace model
