#pragma once

namespace EngineCore {

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr Vector3() = default;
  constexpr Vector3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

  constexpr float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  constexpr float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }

  friend constexpr Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend constexpr Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend constexpr Vector3 operator*(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr bool operator==(const Vector3&, const Vector3&) = default;

  static constexpr Vector3 Lerp(Vector3 a, Vector3 b, float t) { return a + (b - a) * t; }
};

}  // namespace EngineCore
