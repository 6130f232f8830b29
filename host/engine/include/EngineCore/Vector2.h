#pragma once

namespace EngineCore {

// A point or direction in the plane; curves use x for the frame and y for the value.
struct Vector2 {
  float x = 0.0f;
  float y = 0.0f;

  constexpr Vector2() = default;
  constexpr Vector2(float xValue, float yValue) : x(xValue), y(yValue) {}

  friend constexpr bool operator==(const Vector2&, const Vector2&) = default;
};

}  // namespace EngineCore
