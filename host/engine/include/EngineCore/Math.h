#pragma once

namespace EngineCore {

class Math {
 public:
  // Uniform Catmull-Rom spline through p1 (t = 0) and p2 (t = 1), p0 and p3 shaping the
  // tangents.
  static float EvaluateCatmullRom(float p0, float p1, float p2, float p3, float t);
};

}  // namespace EngineCore
