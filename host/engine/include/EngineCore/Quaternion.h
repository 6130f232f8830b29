#pragma once

#include "EngineCore/Vector3.h"

namespace EngineCore {

// Unit quaternion (x, y, z, w), w the scalar part.
//
// Euler angles, in radians, follow one convention everywhere in the engine:
//   1. the rotation is applied about X first, then about Y, then about Z (fixed axes),
//      that is q = qZ(angles.z) * qY(angles.y) * qX(angles.x);
//   2. GetAngles returns x and z in [-pi, pi] and y in [-pi/2, pi/2];
//   3. SetAngles(GetAngles(q)) gives back q or -q (the same rotation). At y = +-pi/2 only
//      the difference (or sum) of x and z is defined; GetAngles then puts it all in z.
struct Quaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 1.0f;

  constexpr Quaternion() = default;
  constexpr Quaternion(float xValue, float yValue, float zValue, float wValue)
      : x(xValue), y(yValue), z(zValue), w(wValue) {}

  void GetAngles(Vector3& angles) const;
  void SetAngles(float angleX, float angleY, float angleZ);
  static Quaternion FromAngles(float angleX, float angleY, float angleZ);

  float Dot(const Quaternion& other) const { return x * other.x + y * other.y + z * other.z + w * other.w; }
  Quaternion Negated() const { return {-x, -y, -z, -w}; }
  Quaternion Normalized() const;
  // Rotates a vector by this (unit) quaternion.
  Vector3 Rotate(const Vector3& v) const;
  friend Quaternion operator*(const Quaternion& a, const Quaternion& b);

  // Spherical interpolation along the shorter arc.
  static Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t);

  friend constexpr bool operator==(const Quaternion&, const Quaternion&) = default;
};

}  // namespace EngineCore
