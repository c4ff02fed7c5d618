// Normalising game paths and checking plain names.
#include "files/paths.h"

#include <cstring>
#include <vector>

namespace paths {
bool normaliseInGame(const std::string& path, std::string& normal) {
  if (!path.empty() && path[0] == '/') return false;
  if (path.find('\0') != std::string::npos || path.find('\\') != std::string::npos) return false;
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= path.size()) {
    size_t slash = path.find('/', at);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(at, slash - at);
    at = slash + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  normal.clear();
  for (const std::string& part : parts) {
    if (!normal.empty()) normal += '/';
    normal += part;
  }
  return true;
}

bool resolveInGame(const std::string& from, const std::string& relative, std::string& normal) {
  if (!relative.empty() && relative[0] == '/') return false;
  size_t start = !from.empty() && from[0] == '/' ? 1 : 0;
  size_t slash = from.rfind('/');
  std::string folder =
      slash == std::string::npos || slash < start ? "" : from.substr(start, slash - start);
  if (!normaliseInGame(folder.empty() ? relative : folder + "/" + relative, normal)) return false;
  if (start) normal.insert(0, "/");
  return true;
}

namespace {
// Windows opens its devices under these names, whatever follows the first dot.
bool deviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}
}  // namespace

bool plainName(const std::string& name) {
  if (name.empty() || name.size() > 255 || name[0] == '.') return false;
  // Refused everywhere, so that a game's saves are the same on every system.
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("/\\:*?\"<>|", c)) return false;
  return name.back() != '.' && name.back() != ' ' && !deviceName(name);
}
}  // namespace paths
