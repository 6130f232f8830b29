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
  // The rotation there (not normalised for a cubic track).
  Quad rotation{};
  // A cubic track's spline there: the keys' rotations and the tangents it uses (per second),
  // the keys' interval in seconds.
  Quad v0{}, out0{}, v1{}, in1{};
  double interval = 0.0;
};

Quad HermiteAt(const TrackRotation& at, double s) {
  Quad q{};
  for (int c = 0; c < 4; ++c) {
    q[c] = EngineCore::Math::EvaluateHermite(at.v0[c], at.out0[c], at.v1[c], at.in1[c], at.interval, s);
  }
  return q;
}

// Solves the 4 x 4 system a x = b (a symmetric, positive semi-definite) by elimination with
// pivoting; a direction the system does not constrain stays 0.
Quad Solve(std::array<Quad, 4> a, Quad b) {
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 4; ++row) {
      if (std::abs(a[row][col]) > std::abs(a[pivot][col])) pivot = row;
    }
    std::swap(a[col], a[pivot]);
    std::swap(b[col], b[pivot]);
    if (std::abs(a[col][col]) < 1e-15) continue;
    for (int row = col + 1; row < 4; ++row) {
      const double factor = a[row][col] / a[col][col];
      for (int k = col; k < 4; ++k) a[row][k] -= factor * a[col][k];
      b[row] -= factor * b[col];
    }
  }
  Quad x{};
  for (int row = 3; row >= 0; --row) {
    if (std::abs(a[row][row]) < 1e-15) continue;
    double sum = b[row];
    for (int k = row + 1; k < 4; ++k) sum -= a[row][k] * x[k];
    x[row] = sum / a[row][row];
  }
  return x;
}

// A normalised spline cannot be split exactly at a key of unit length: of one piece of it,
// fixed(u) + weight(u) d with d free, this finds the d (per unit of u) that keeps the piece
// pointing where the spline did, original(u), in the least squares over the piece.
template <typename Fixed, typename Weight, typename Original>
Quad BestTangent(const Fixed& fixed, const Weight& weight, const Original& original) {
  constexpr int kSamples = 16;
  std::array<Quad, 4> normal{};
  Quad right{};
  for (int j = 1; j < kSamples; ++j) {
    const double u = static_cast<double>(j) / kSamples;
    Quad dir = original(u);
    double length = 0.0;
    for (double c : dir) length += c * c;
    length = std::sqrt(length);
    if (!(length > 0.0)) continue;
    for (double& c : dir) c /= length;
    // The part of a vector across the spline's direction there: (I - dir dir^T) v.
    const Quad base = fixed(u);
    const double w = weight(u);
    double along = 0.0;
    for (int c = 0; c < 4; ++c) along += dir[c] * base[c];
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) normal[r][c] += w * w * ((r == c ? 1.0 : 0.0) - dir[r] * dir[c]);
      right[r] -= w * (base[r] - along * dir[r]);
    }
  }
  return Solve(normal, right);
}

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
  at.interval = (static_cast<double>(after) - before) / own.GetFrameRate();
  at.v0 = PartsOf(q0);
  at.out0 = PartsOf(out0);
  at.v1 = PartsOf(q1);
  at.in1 = PartsOf(in1);
  at.rotation = HermiteAt(at, at.t);
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
  // The key takes the rotation of unit length, with the sign of the quaternion its angles give
  // back. Its in-tangent shapes the piece before it (from the earlier key, whose out-tangent
  // stays), its out-tangent the piece after (to the later key, whose in-tangent stays).
  const Quaternion key = RotationOf(angles);
  const double sign = key.Dot(unit) < 0.0f ? -1.0 : 1.0;
  const Quad middle = PartsOf(unit);
  const double t = rotation.t;
  const double before = t * rotation.interval;
  const double after = (1.0 - t) * rotation.interval;
  using EngineCore::Math;
  const Quad in = BestTangent(
      [&](double u) {
        Quad q{};
        for (int c = 0; c < 4; ++c) {
          q[c] = Math::EvaluateHermite(rotation.v0[c], rotation.out0[c], middle[c], 0.0, before, u);
        }
        return q;
      },
      [](double u) { return u * u * u - u * u; }, [&](double u) { return HermiteAt(rotation, t * u); });
  const Quad out = BestTangent(
      [&](double u) {
        Quad q{};
        for (int c = 0; c < 4; ++c) q[c] = Math::EvaluateHermite(middle[c], 0.0, rotation.v1[c], rotation.in1[c], after, u);
        return q;
      },
      [](double u) { return u * u * u - 2 * u * u + u; }, [&](double u) { return HermiteAt(rotation, t + (1.0 - t) * u); });
  auto perSecond = [sign](const Quad& perPiece, double seconds) {
    return Quaternion(static_cast<float>(sign * perPiece[0] / seconds), static_cast<float>(sign * perPiece[1] / seconds),
                      static_cast<float>(sign * perPiece[2] / seconds), static_cast<float>(sign * perPiece[3] / seconds));
  };
  tangents.in = RotationTangents::Local(key, perSecond(in, before));
  tangents.out = RotationTangents::Local(key, perSecond(out, after));
  return true;
}

}  // namespace Tarvel
