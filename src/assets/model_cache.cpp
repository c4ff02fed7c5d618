// The process-wide model cache: one entry per name ever asked for, loaded on
// first use and kept (at a fixed address) until exit. Model batches borrow
// their vertex data from these entries while a frame is drawn.
#include "assets/model.h"

#include "core/diagnostics.h"

namespace model {
std::map<std::string, Model> models;

Model* getModel(std::string name) {
  auto cached = models.find(name);
  if (cached != models.end()) return &cached->second;
  if (!parseObj(name) && !parseMod(name))
    diagnostics::warnOnceUnderDebug("model " + name,
                          "Warning: no model %s: neither %s nor assets/models/%s.obj nor "
                          "assets/models/%s.mod can be read\n",
                          name.c_str(), name.c_str(), name.c_str(), name.c_str());
  // Neither format found: the empty model stays, so the disk is asked once.
  return &models[name];
}
}  // namespace model
