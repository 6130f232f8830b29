#include "EngineCore/Math.h"

namespace EngineCore {

float Math::EvaluateCatmullRom(float p0, float p1, float p2, float p3, float t) {
  const float t2 = t * t;
  const float t3 = t2 * t;
  return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                 (3.0f * p1 - p0 - 3.0f * p2 + p3) * t3);
}

double Math::EvaluateHermite(double v0, double out0, double v1, double in1, double interval, double s) {
  const double s2 = s * s;
  const double s3 = s2 * s;
  return (2 * s3 - 3 * s2 + 1) * v0 + (s3 - 2 * s2 + s) * interval * out0 + (-2 * s3 + 3 * s2) * v1 +
         (s3 - s2) * interval * in1;
}

double Math::HermiteSlope(double v0, double out0, double v1, double in1, double interval, double s) {
  const double s2 = s * s;
  const double perStep = (6 * s2 - 6 * s) * v0 + (3 * s2 - 4 * s + 1) * interval * out0 + (-6 * s2 + 6 * s) * v1 +
                         (3 * s2 - 2 * s) * interval * in1;
  return perStep / interval;
}

}  // namespace EngineCore
