// Angles: scripts and the scene count degrees, counter-clockwise; Box2D and
// the maths count radians. The one definition of pi and of the conversion.
#pragma once

namespace angles {
constexpr double PI = 3.14159265358979323846;
constexpr float DEGREES_PER_RADIAN = static_cast<float>(180 / PI);

inline float toRadians(float degrees) { return degrees / DEGREES_PER_RADIAN; }
inline float toDegrees(float radians) { return radians * DEGREES_PER_RADIAN; }
inline double toRadians(double degrees) { return degrees * PI / 180; }
}  // namespace angles
