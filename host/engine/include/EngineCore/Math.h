#pragma once

namespace EngineCore {

class Math {
 public:
  // Uniform Catmull-Rom spline through p1 (t = 0) and p2 (t = 1), p0 and p3 shaping the
  // tangents.
  static float EvaluateCatmullRom(float p0, float p1, float p2, float p3, float t);

  // The glTF cubic spline between two keys `interval` seconds apart: values v0 and v1, the
  // first key's out-tangent and the second's in-tangent in value per second, at s in [0, 1].
  static double EvaluateHermite(double v0, double out0, double v1, double in1, double interval, double s);
  // Its slope at s, in value per second.
  static double HermiteSlope(double v0, double out0, double v1, double in1, double interval, double s);
};

}  // namespace EngineCore
