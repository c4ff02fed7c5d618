// The name table behind NameId: every name met so far, never shrinking (a run
// uses a few dozen names).
#include "render/names.h"

#include <unordered_map>
#include <vector>

namespace {
std::unordered_map<std::string, NameId>& ids() {
  static std::unordered_map<std::string, NameId> table;
  return table;
}

std::vector<std::string>& texts() {
  static std::vector<std::string> list;
  return list;
}
}  // namespace

NameId gr_nameId(const std::string& text) {
  auto found = ids().find(text);
  if (found != ids().end()) return found->second;
  NameId id = static_cast<NameId>(texts().size());
  texts().push_back(text);
  ids().emplace(text, id);
  return id;
}

NameId gr_nameId(const char* text) { return gr_nameId(std::string(text)); }

const std::string& gr_nameText(NameId id) { return texts().at(id); }
