// The GLSL 1.20 to GLSL ES 1.00 rewrite: directives moved, precisions added.
#include "platform/glsles.h"

#include <sstream>

namespace glsles {
namespace {
// Whether `line` is the preprocessor directive `name`.
bool directive(const std::string& line, const std::string& name) {
  size_t hash = line.find_first_not_of(" \t");
  if (hash == std::string::npos || line[hash] != '#') return false;
  size_t word = line.find_first_not_of(" \t", hash + 1);
  return word != std::string::npos && line.compare(word, name.size(), name) == 0;
}
}  // namespace

std::string fromGlsl120(const std::string& source) {
  std::istringstream lines(source);
  std::string line, extensions, body;
  while (std::getline(lines, line)) {
    bool moved = directive(line, "extension");
    if (moved) extensions += line + "\n";
    // A moved or dropped line leaves an empty one, so numbers stay.
    body += moved || directive(line, "version") ? "\n" : line + "\n";
  }
  // Both stages declare the same precisions: a uniform the two share must
  // agree, and WebGL 2 always has highp in fragment shaders. After "#line 1"
  // the drivers count the next line as the file's first.
  return "#version 100\n" + extensions + "precision highp float;\nprecision highp int;\n#line 1\n" +
         body;
}
}  // namespace glsles
