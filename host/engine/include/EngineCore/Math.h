#pragma once

namespace EngineCore {

class Math {
 public:
  // Uniform Catmull-Rom spline through p1 (t = 0) and p2 (t = 1), p0 and p3 shaping the
  // tangents.
  static float EvaluateCatmullRom(float p0, float p1, float p2, float p3, float t);

  // The glTF cubic spline between two keys `interval` seconds apart: values v0 and v1, the
  // first key's out-tangent and the second's in-tangent in value per second, at s in [0, 1].
  // Inline: drawing and editing evaluate it for every column and key.
  static double EvaluateHermite(double v0, double out0, double v1, double in1, double interval, double s) {
    const double s2 = s * s;
    const double s3 = s2 * s;
    return (2 * s3 - 3 * s2 + 1) * v0 + (s3 - 2 * s2 + s) * interval * out0 + (-2 * s3 + 3 * s2) * v1 +
           (s3 - s2) * interval * in1;
  }
  // Its slope at s, in value per second.
  static double HermiteSlope(double v0, double out0, double v1, double in1, double interval, double s) {
    const double s2 = s * s;
    const double perStep = (6 * s2 - 6 * s) * v0 + (3 * s2 - 4 * s + 1) * interval * out0 + (-6 * s2 + 6 * s) * v1 +
                           (3 * s2 - 2 * s) * interval * in1;
    return perStep / interval;
  }
};

}  // namespace EngineCore
