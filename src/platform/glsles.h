// GLSL 1.20 shader text rewritten as GLSL ES 1.00, the dialect WebGL takes
// from the same sources.
#pragma once

#include <string>

namespace glsles {
// The version line becomes "#version 100", extension lines follow it (they
// must precede every declaration), then default precisions; every other line
// keeps its number. Text GLSL ES lacks (implicit int-to-float conversion, for
// one) is left for the driver to report.
std::string fromGlsl120(const std::string& source);
}  // namespace glsles
