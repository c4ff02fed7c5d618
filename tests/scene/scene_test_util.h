// Matrix comparisons shared by the transform and camera tests.
#pragma once

#include <gtest/gtest.h>

#include <glm/glm.hpp>

namespace scenetest {

inline glm::vec3 apply(const glm::mat4& m, const glm::vec3& point) {
  return glm::vec3(m * glm::vec4(point, 1.0f));
}

inline void expectNear(const glm::mat4& actual, const glm::mat4& expected,
                       float tolerance = 1e-5f) {
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row)
      EXPECT_NEAR(actual[column][row], expected[column][row], tolerance)
          << "column " << column << ", row " << row;
}

inline void expectNear(const glm::vec3& actual, const glm::vec3& expected,
                       float tolerance = 1e-5f) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

}  // namespace scenetest
