#include "curves/CurveEvaluation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "EngineCore/Math.h"
#include "EngineCore/Quaternion.h"
#include "curves/EulerAngles.h"
#include "curves/RotationTangents.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

using EditorToolkit::Curve2;
using EditorToolkit::KeyTangents;
using EngineCore::Quaternion;
using Quad = std::array<double, 4>;

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

// The index of the curve's own point at x (the last one there); -1 without one.
int PointAt(const Curve2& curve, float x) {
  const int at = curve.SearchPreviousPoint(x);
  if (at < 0 || curve.GetPointAt(static_cast<std::uint32_t>(at))->x != x) return -1;
  return at;
}

// The curve's own value at x, 0 without points: straight between its points, since a rotation
// axis's points alone do not make its spline (its tangents are the track's).
double OwnValue(const Curve2& curve, float x) {
  const int at = curve.SearchPreviousPoint(x);
  if (at < 0) return 0.0;
  const auto i = static_cast<std::uint32_t>(at);
  const EditorToolkit::EditablePoint& from = *curve.GetPointAt(i);
  if (i + 1 >= curve.GetPointCount() || x <= from.x || curve.GetInterpolation() == Curve2::Step) return from.y;
  const EditorToolkit::EditablePoint& to = *curve.GetPointAt(i + 1);
  const double span = static_cast<double>(to.x) - from.x;
  return span > 0.0 ? from.y + (static_cast<double>(to.y) - from.y) * (x - from.x) / span : from.y;
}

Quaternion RotationOf(const EulerAngles::Triple& angles) {
  return Quaternion::FromAngles(static_cast<float>(angles[0] * Ids::kRadiansPerDegree),
                                static_cast<float>(angles[1] * Ids::kRadiansPerDegree),
                                static_cast<float>(angles[2] * Ids::kRadiansPerDegree));
}

Quad PartsOf(const Quaternion& q) { return {q.x, q.y, q.z, q.w}; }

// A rotation track at one moment: the angles of the track's keys around it, and its rotation.
struct TrackRotation {
  EulerAngles::Triple from{};
  EulerAngles::Triple to{};
  double t = 0.0;
  // The rotation there, and for a cubic track its rate of change (not normalised) per second.
  Quad rotation{};
  Quad slope{};
};

// The tangents of the track's key at a frame: those of the first axis with a point there.
const KeyTangents* KeyTangentsAt(const CurveInfo& curve, float frame) {
  for (const CurveInfo* axis : curve.track) {
    const int at = PointAt(*axis->pCurve, frame);
    if (at >= 0) return axis->pCurve->GetTangentsAt(static_cast<std::uint32_t>(at));
  }
  return nullptr;
}

// The rotation of the track at x, between the keys around it; false when x lies outside them.
bool RotationBetweenKeys(const CurveInfo& curve, float x, TrackRotation& at) {
  float before = -INFINITY;
  float after = INFINITY;
  for (const CurveInfo* axis : curve.track) Around(*axis->pCurve, x, before, after);
  if (!(before > -INFINITY) || !(after < INFINITY)) return false;
  for (int c = 0; c < 3; ++c) {
    const Curve2& own = *curve.track[c]->pCurve;
    const int atBefore = PointAt(own, before);
    const int atAfter = PointAt(own, after);
    at.from[c] = atBefore >= 0 ? own.GetPointAt(static_cast<std::uint32_t>(atBefore))->y : OwnValue(own, before);
    at.to[c] = atAfter >= 0 ? own.GetPointAt(static_cast<std::uint32_t>(atAfter))->y : OwnValue(own, after);
  }
  at.t = (static_cast<double>(x) - before) / (static_cast<double>(after) - before);
  const Quaternion q0 = RotationOf(at.from);
  Quaternion q1 = RotationOf(at.to);
  const Curve2& own = *curve.pCurve;
  if (!own.IsCubic()) {
    at.rotation = PartsOf(Quaternion::Slerp(q0, q1, static_cast<float>(at.t)));
    return true;
  }
  const KeyTangents* first = KeyTangentsAt(curve, before);
  const KeyTangents* second = KeyTangentsAt(curve, after);
  Quaternion out0 = first ? RotationTangents::FromLocal(q0, first->out) : Quaternion(0, 0, 0, 0);
  Quaternion in1 = second ? RotationTangents::FromLocal(q1, second->in) : Quaternion(0, 0, 0, 0);
  if (q0.Dot(q1) < 0.0f) {
    q1 = q1.Negated();
    in1 = in1.Negated();
  }
  const double interval = (static_cast<double>(after) - before) / own.GetFrameRate();
  const Quad v0 = PartsOf(q0), b0 = PartsOf(out0), v1 = PartsOf(q1), a1 = PartsOf(in1);
  for (int c = 0; c < 4; ++c) {
    at.rotation[c] = EngineCore::Math::EvaluateHermite(v0[c], b0[c], v1[c], a1[c], interval, at.t);
    at.slope[c] = EngineCore::Math::HermiteSlope(v0[c], b0[c], v1[c], a1[c], interval, at.t);
  }
  return true;
}

// The rotation's angles nearest to the straight blend of the keys' angles; the normalised
// rotation as a quaternion in `unit`. False for a rotation of length zero.
bool AnglesOf(const TrackRotation& at, EulerAngles::Triple& angles, Quaternion& unit) {
  const Quad& q = at.rotation;
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (!(length > 0.0) || !std::isfinite(length)) return false;
  unit = Quaternion(static_cast<float>(q[0] / length), static_cast<float>(q[1] / length),
                    static_cast<float>(q[2] / length), static_cast<float>(q[3] / length));
  EngineCore::Vector3 blended;
  unit.GetAngles(blended);
  EulerAngles::Triple straight{};
  for (int c = 0; c < 3; ++c) straight[c] = at.from[c] + (at.to[c] - at.from[c]) * at.t;
  angles = EulerAngles::Nearest(
      {blended.x * Ids::kDegreesPerRadian, blended.y * Ids::kDegreesPerRadian, blended.z * Ids::kDegreesPerRadian},
      straight);
  return true;
}

}  // namespace

bool CurveEvaluation::FollowsTrack(const CurveInfo& curve) {
  return curve.iTrackType == CurveInfo::Rotation && curve.pCurve->GetInterpolation() != Curve2::Step &&
         curve.track[0] && curve.track[1] && curve.track[2];
}

bool CurveEvaluation::IsStraight(const CurveInfo& curve) {
  return curve.pCurve->GetInterpolation() == Curve2::Step ||
         (curve.pCurve->GetInterpolation() == Curve2::Linear && curve.iTrackType != CurveInfo::Rotation);
}

bool CurveEvaluation::Evaluate(const CurveInfo& curve, float x, float& y) {
  const Curve2& own = *curve.pCurve;
  if (!FollowsTrack(curve)) return own.EvaluatePoint(x, y);
  const int at = PointAt(own, x);
  if (at >= 0) {
    y = own.GetPointAt(static_cast<std::uint32_t>(at))->y;
    return true;
  }
  // The track's keys around x, whichever axis holds them. A sibling's key at x itself does
  // not count: this axis has none there, so it keeps the value it had before that key came.
  TrackRotation rotation;
  if (!RotationBetweenKeys(curve, x, rotation)) return own.EvaluatePoint(x, y);
  EulerAngles::Triple angles{};
  Quaternion unit;
  if (!AnglesOf(rotation, angles, unit)) return own.EvaluatePoint(x, y);
  y = static_cast<float>(angles[curve.iComponent]);
  return true;
}

bool CurveEvaluation::Split(const CurveInfo& curve, float x, float& y, KeyTangents& tangents) {
  tangents = {};
  const Curve2& own = *curve.pCurve;
  if (!own.IsCubic()) return Evaluate(curve, x, y);
  if (!FollowsTrack(curve)) {
    if (!own.EvaluatePoint(x, y)) return false;
    const int at = PointAt(own, x);
    if (at >= 0) {
      tangents = *own.GetTangentsAt(static_cast<std::uint32_t>(at));
    } else {
      tangents.in[0] = tangents.out[0] = own.EvaluateSlope(x);
    }
    return true;
  }
  if (const KeyTangents* kept = KeyTangentsAt(curve, x)) {
    tangents = *kept;
    return Evaluate(curve, x, y);
  }
  TrackRotation rotation;
  EulerAngles::Triple angles{};
  Quaternion unit;
  if (!RotationBetweenKeys(curve, x, rotation) || !AnglesOf(rotation, angles, unit)) return Evaluate(curve, x, y);
  y = static_cast<float>(angles[curve.iComponent]);
  // The key takes the rotation of unit length; its tangent is the spline's slope scaled as
  // the rotation was, with the sign of the quaternion its angles give back.
  const Quad& q = rotation.rotation;
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  const Quaternion key = RotationOf(angles);
  const double sign = key.Dot(unit) < 0.0f ? -1.0 : 1.0;
  const Quaternion slope(static_cast<float>(sign * rotation.slope[0] / length),
                         static_cast<float>(sign * rotation.slope[1] / length),
                         static_cast<float>(sign * rotation.slope[2] / length),
                         static_cast<float>(sign * rotation.slope[3] / length));
  tangents.in = tangents.out = RotationTangents::Local(key, slope);
  return true;
}

}  // namespace Tarvel
