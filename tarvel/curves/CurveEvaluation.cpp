#include "curves/CurveEvaluation.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/Quaternion.h"
#include "curves/EulerAngles.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

using EditorToolkit::Curve2;

// Narrows before and after to the frames of the curve's nearest points before x and after x.
void Around(const Curve2& curve, float x, float& before, float& after) {
  int at = curve.SearchPreviousPoint(x);
  if (at < 0) return;
  auto next = static_cast<std::uint32_t>(at);
  if (curve.GetPointAt(next)->x <= x) ++next;
  while (at >= 0 && curve.GetPointAt(static_cast<std::uint32_t>(at))->x >= x) --at;
  if (at >= 0) before = std::max(before, curve.GetPointAt(static_cast<std::uint32_t>(at))->x);
  if (next < curve.GetPointCount()) after = std::min(after, curve.GetPointAt(next)->x);
}

// The value of the curve's own point at x (the last one there); false without one.
bool PointAt(const Curve2& curve, float x, float& y) {
  const int at = curve.SearchPreviousPoint(x);
  if (at < 0 || curve.GetPointAt(static_cast<std::uint32_t>(at))->x != x) return false;
  y = curve.GetPointAt(static_cast<std::uint32_t>(at))->y;
  return true;
}

// The curve's own value at x (straight between its points), 0 without points.
double OwnValue(const Curve2& curve, float x) {
  float y = 0.0f;
  return curve.EvaluatePoint(x, y) ? y : 0.0;
}

}  // namespace

bool CurveEvaluation::IsStraight(const CurveInfo& curve) {
  return curve.iTrackType != CurveInfo::Rotation || curve.pCurve->GetInterpolation() != Curve2::Linear;
}

bool CurveEvaluation::Evaluate(const CurveInfo& curve, float x, float& y) {
  const Curve2& own = *curve.pCurve;
  if (IsStraight(curve) || !curve.track[0] || !curve.track[1] || !curve.track[2]) return own.EvaluatePoint(x, y);
  if (PointAt(own, x, y)) return true;
  // The track's keys around x, whichever axis holds them. A sibling's key at x itself does
  // not count: this axis has none there, so it keeps the value it had before that key came.
  float before = -INFINITY;
  float after = INFINITY;
  for (const CurveInfo* axis : curve.track) Around(*axis->pCurve, x, before, after);
  if (!(before > -INFINITY) || !(after < INFINITY)) return own.EvaluatePoint(x, y);

  EulerAngles::Triple from{};
  EulerAngles::Triple to{};
  for (int c = 0; c < 3; ++c) {
    from[c] = OwnValue(*curve.track[c]->pCurve, before);
    to[c] = OwnValue(*curve.track[c]->pCurve, after);
  }
  const double t = (static_cast<double>(x) - before) / (static_cast<double>(after) - before);
  auto rotation = [](const EulerAngles::Triple& angles) {
    return EngineCore::Quaternion::FromAngles(static_cast<float>(angles[0] * Ids::kRadiansPerDegree),
                                              static_cast<float>(angles[1] * Ids::kRadiansPerDegree),
                                              static_cast<float>(angles[2] * Ids::kRadiansPerDegree));
  };
  EngineCore::Vector3 blended;
  EngineCore::Quaternion::Slerp(rotation(from), rotation(to), static_cast<float>(t)).GetAngles(blended);
  EulerAngles::Triple straight{};
  for (int c = 0; c < 3; ++c) straight[c] = from[c] + (to[c] - from[c]) * t;
  const EulerAngles::Triple angles = EulerAngles::Nearest(
      {blended.x * Ids::kDegreesPerRadian, blended.y * Ids::kDegreesPerRadian, blended.z * Ids::kDegreesPerRadian},
      straight);
  y = static_cast<float>(angles[curve.iComponent]);
  return true;
}

}  // namespace Tarvel
