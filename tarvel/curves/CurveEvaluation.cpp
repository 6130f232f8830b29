#include "curves/CurveEvaluation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_map>
#include <vector>

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
  // The keys' frames, and their angles.
  float before = 0.0f;
  float after = 0.0f;
  EulerAngles::Triple from{};
  EulerAngles::Triple to{};
  double t = 0.0;
  bool cubic = false;
  // A linear track's keys' rotations.
  Quaternion q0;
  Quaternion q1;
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
// pointing where the spline did, original(u): the least squares of the angle between them
// over the piece, each sample weighed by the length the piece has there (found again from the
// last d a few times over).
template <typename Fixed, typename Weight, typename Original>
Quad BestTangent(const Fixed& fixed, const Weight& weight, const Original& original) {
  constexpr int kSamples = 24;
  constexpr int kRounds = 4;
  std::array<Quad, kSamples> directions{};
  std::array<Quad, kSamples> bases{};
  std::array<double, kSamples> weights{};
  for (int j = 1; j < kSamples; ++j) {
    const double u = static_cast<double>(j) / kSamples;
    Quad dir = original(u);
    double length = 0.0;
    for (double c : dir) length += c * c;
    length = std::sqrt(length);
    for (double& c : dir) c = length > 0.0 ? c / length : 0.0;
    directions[j] = dir;
    bases[j] = fixed(u);
    weights[j] = weight(u);
  }
  Quad d{};
  for (int round = 0; round < kRounds; ++round) {
    std::array<Quad, 4> normal{};
    Quad right{};
    for (int j = 1; j < kSamples; ++j) {
      const Quad& dir = directions[j];
      const Quad& base = bases[j];
      const double w = weights[j];
      // The angle is the part across the spline's direction, (I - dir dir^T) v, over the length.
      double squared = 0.0;
      for (int c = 0; c < 4; ++c) squared += (base[c] + w * d[c]) * (base[c] + w * d[c]);
      const double scale = round == 0 || !(squared > 1e-12) ? 1.0 : 1.0 / squared;
      double along = 0.0;
      for (int c = 0; c < 4; ++c) along += dir[c] * base[c];
      for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) normal[r][c] += scale * w * w * ((r == c ? 1.0 : 0.0) - dir[r] * dir[c]);
        right[r] -= scale * w * (base[r] - along * dir[r]);
      }
    }
    d = Solve(normal, right);
  }
  return d;
}

// The tangents of the track's key at a frame: those of the first axis with a point there.
const KeyTangents* KeyTangentsAt(const CurveInfo& curve, float frame) {
  for (const CurveInfo* axis : curve.track) {
    const int at = PointAt(*axis->pCurve, frame);
    if (at >= 0) return axis->pCurve->GetTangentsAt(static_cast<std::uint32_t>(at));
  }
  return nullptr;
}

// Moves the rotation to t between its keys.
void MoveTo(TrackRotation& at, double t) {
  at.t = t;
  at.rotation = at.cubic ? HermiteAt(at, t) : PartsOf(Quaternion::Slerp(at.q0, at.q1, static_cast<float>(t)));
}

// The track's keys around a frame: the nearest frames before and after it where an axis has a
// point, the axes' angles there, and a cubic track's tangents there.
struct KeysAround {
  float before = -INFINITY;
  float after = INFINITY;
  EulerAngles::Triple from{};
  EulerAngles::Triple to{};
  const KeyTangents* first = nullptr;
  const KeyTangents* second = nullptr;
};

// The keys around x by searching every axis; false when x lies outside them.
bool FindKeysAround(const CurveInfo& curve, float x, KeysAround& keys) {
  for (const CurveInfo* axis : curve.track) Around(*axis->pCurve, x, keys.before, keys.after);
  if (!(keys.before > -INFINITY) || !(keys.after < INFINITY)) return false;
  for (int c = 0; c < 3; ++c) {
    const Curve2& own = *curve.track[c]->pCurve;
    const int atBefore = PointAt(own, keys.before);
    const int atAfter = PointAt(own, keys.after);
    keys.from[c] = atBefore >= 0 ? own.GetPointAt(static_cast<std::uint32_t>(atBefore))->y : OwnValue(own, keys.before);
    keys.to[c] = atAfter >= 0 ? own.GetPointAt(static_cast<std::uint32_t>(atAfter))->y : OwnValue(own, keys.after);
  }
  keys.first = KeyTangentsAt(curve, keys.before);
  keys.second = KeyTangentsAt(curve, keys.after);
  return true;
}

// The span of the track between its keys, at x. The rotation of the earlier key is taken from
// `last` when that span ended on it.
void SpanBetween(const CurveInfo& curve, const KeysAround& keys, float x, TrackRotation& at, bool lastKnown) {
  const bool follows = lastKnown && at.after == keys.before && at.to == keys.from;
  at.q0 = follows ? at.q1 : RotationOf(keys.from);
  at.q1 = RotationOf(keys.to);
  at.before = keys.before;
  at.after = keys.after;
  at.from = keys.from;
  at.to = keys.to;
  const Curve2& own = *curve.pCurve;
  at.cubic = own.IsCubic();
  if (at.cubic) {
    Quaternion q1 = at.q1;
    Quaternion out0 = keys.first ? RotationTangents::FromLocal(at.q0, keys.first->out) : Quaternion(0, 0, 0, 0);
    Quaternion in1 = keys.second ? RotationTangents::FromLocal(q1, keys.second->in) : Quaternion(0, 0, 0, 0);
    if (at.q0.Dot(q1) < 0.0f) {
      q1 = q1.Negated();
      in1 = in1.Negated();
    }
    at.interval = (static_cast<double>(keys.after) - keys.before) / own.GetFrameRate();
    at.v0 = PartsOf(at.q0);
    at.out0 = PartsOf(out0);
    at.v1 = PartsOf(q1);
    at.in1 = PartsOf(in1);
  }
  MoveTo(at, (static_cast<double>(x) - keys.before) / (static_cast<double>(keys.after) - keys.before));
}

// The rotation of the track at x, between the keys around it; false when x lies outside them.
bool RotationBetweenKeys(const CurveInfo& curve, float x, TrackRotation& at) {
  KeysAround keys;
  if (!FindKeysAround(curve, x, keys)) return false;
  SpanBetween(curve, keys, x, at, false);
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

// The angles a walk found along a rotation track, which the walks of its other axes read
// rather than find again: the graph traces a track's three curves at the same frames. A tape
// holds for the revisions of the three axes it was made at.
struct RotationTape {
  std::array<std::uint64_t, 3> revisions{};
  std::vector<float> frames;
  // NaN where only the bend was found.
  std::vector<std::array<float, 3>> angles;
  std::vector<float> bends;
  // Where the last reader found its frame.
  std::size_t cursor = 0;
};

// The tapes of the tracks walked lately, by the id of their X curve (ids are never reused).
std::unordered_map<std::uint64_t, RotationTape>& Tapes() {
  static std::unordered_map<std::uint64_t, RotationTape> tapes;
  return tapes;
}
constexpr std::size_t kMostTapes = 512;

struct CurveEvaluation::Walk::Span {
  TrackRotation rotation;
  RotationTape* tape = nullptr;
  // Whether this walk writes the tape (it found it stale) or reads it.
  bool writes = false;

  // Whether the tape a reader reads holds x (its place then in the tape's cursor).
  bool Find(float x);
  // A writer's entry for x: the angles there (NaN until found) and the bend of its span.
  void Record(float x, const std::array<float, 3>& angles, float bend);
  // Per axis, how many of its points lie before the last frame asked: frames that rise move
  // it on by a step or two, so a walk finds keys without searching.
  std::array<std::uint32_t, 3> below{};
  float last = -INFINITY;

  // The keys around x, as FindKeysAround finds them; false when x lies outside them or the
  // curve has its own point at x (own then names it).
  bool Locate(const CurveInfo& curve, float x, KeysAround& keys, int& own) {
    // A walk that starts, or turns back, finds its place by searching.
    const bool search = !(x >= last);
    last = x;
    std::array<std::uint32_t, 3> above{};
    for (int c = 0; c < 3; ++c) {
      const Curve2& axis = *curve.track[c]->pCurve;
      const std::uint32_t count = axis.GetPointCount();
      std::uint32_t& lo = below[static_cast<std::size_t>(c)];
      if (search) {
        lo = static_cast<std::uint32_t>(std::max(axis.SearchPreviousPoint(x), 0));
        while (lo > 0 && axis.GetPointAt(lo - 1)->x >= x) --lo;
      }
      while (lo < count && axis.GetPointAt(lo)->x < x) ++lo;
      std::uint32_t hi = lo;
      while (hi < count && axis.GetPointAt(hi)->x <= x) ++hi;
      above[static_cast<std::size_t>(c)] = hi;
      if (curve.track[c] == &curve && hi > lo) own = static_cast<int>(hi) - 1;
      if (lo > 0) keys.before = std::max(keys.before, axis.GetPointAt(lo - 1)->x);
      if (hi < count) keys.after = std::min(keys.after, axis.GetPointAt(hi)->x);
    }
    if (own >= 0 || !(keys.before > -INFINITY) || !(keys.after < INFINITY)) return false;
    for (int c = 0; c < 3; ++c) {
      const Curve2& axis = *curve.track[c]->pCurve;
      const std::uint32_t lo = below[static_cast<std::size_t>(c)];
      std::uint32_t hi = above[static_cast<std::size_t>(c)];
      const bool hasBefore = lo > 0 && axis.GetPointAt(lo - 1)->x == keys.before;
      // The last of an axis's points on the later key's frame is that key's value.
      while (hi + 1 < axis.GetPointCount() && axis.GetPointAt(hi + 1)->x == keys.after) ++hi;
      const bool hasAfter = hi < axis.GetPointCount() && axis.GetPointAt(hi)->x == keys.after;
      keys.from[c] = hasBefore ? axis.GetPointAt(lo - 1)->y : OwnValue(axis, keys.before);
      keys.to[c] = hasAfter ? axis.GetPointAt(hi)->y : OwnValue(axis, keys.after);
      if (hasBefore && !keys.first) keys.first = axis.GetTangentsAt(lo - 1);
      if (hasAfter && !keys.second) keys.second = axis.GetTangentsAt(hi);
    }
    return true;
  }
};

CurveEvaluation::Walk::Walk(const CurveInfo& walked) : curve(walked), span(std::make_unique<Span>()) {
  if (!FollowsTrack(curve)) return;
  auto& tapes = Tapes();
  if (tapes.size() >= kMostTapes) tapes.clear();
  RotationTape& tape = tapes[curve.track[0]->pCurve->GetId()];
  const std::array<std::uint64_t, 3> now = {curve.track[0]->pCurve->GetRevision(),
                                            curve.track[1]->pCurve->GetRevision(),
                                            curve.track[2]->pCurve->GetRevision()};
  span->tape = &tape;
  span->writes = tape.revisions != now;
  if (span->writes) {
    tape.revisions = now;
    tape.frames.clear();
    tape.angles.clear();
    tape.bends.clear();
  }
  tape.cursor = 0;
}

CurveEvaluation::Walk::~Walk() = default;

bool CurveEvaluation::Walk::Span::Find(float x) {
  if (writes || tape->frames.empty()) return false;
  std::size_t& cursor = tape->cursor;
  if (cursor >= tape->frames.size() || tape->frames[cursor] > x) {
    cursor =
        static_cast<std::size_t>(std::lower_bound(tape->frames.begin(), tape->frames.end(), x) - tape->frames.begin());
  }
  while (cursor < tape->frames.size() && tape->frames[cursor] < x) ++cursor;
  return cursor < tape->frames.size() && tape->frames[cursor] == x;
}

void CurveEvaluation::Walk::Span::Record(float x, const std::array<float, 3>& angles, float bend) {
  if (!writes) return;
  if (!tape->frames.empty() && tape->frames.back() == x) {
    if (!std::isnan(angles[0])) tape->angles.back() = angles;
    return;
  }
  if (!tape->frames.empty() && !(x > tape->frames.back())) return;
  tape->frames.push_back(x);
  tape->angles.push_back(angles);
  tape->bends.push_back(bend);
}

bool CurveEvaluation::Walk::Reach(float x, int& own) {
  own = -1;
  TrackRotation& at = span->rotation;
  // Strictly between the keys of the last span, no axis has a point: the span holds.
  if (spanKnown && x > at.before && x < at.after) {
    MoveTo(at, (static_cast<double>(x) - at.before) / (static_cast<double>(at.after) - at.before));
    return true;
  }
  KeysAround keys;
  if (!span->Locate(curve, x, keys, own)) {
    spanKnown = false;
    return false;
  }
  SpanBetween(curve, keys, x, at, spanKnown);
  spanKnown = true;
  return true;
}

bool CurveEvaluation::Walk::Bends(float x, double tolerance) {
  if (!FollowsTrack(curve)) return true;
  if (span->Find(x)) return span->tape->bends[span->tape->cursor] >= tolerance;
  int own = -1;
  if (!Reach(x, own)) return true;
  const TrackRotation& at = span->rotation;
  // Two rotations L radians apart blend away from the line between their angles by about
  // 1 - cos(L / 2), which is their quaternions' distance from a dot product of one; a spline's
  // middle leaves the middle of its chord by an eighth of the change of its tangents over the
  // span, twice that in angle.
  const double dot = std::min(1.0, std::abs(static_cast<double>(at.q0.Dot(at.q1))));
  double bend = 1.0 - dot;
  if (at.cubic) {
    double change = 0.0;
    for (int c = 0; c < 4; ++c) change += (at.out0[c] - at.in1[c]) * (at.out0[c] - at.in1[c]);
    bend += 2.0 * at.interval * std::sqrt(change) / 8.0;
  }
  const auto degrees = static_cast<float>(bend * Ids::kDegreesPerRadian);
  const float unknown = std::numeric_limits<float>::quiet_NaN();
  span->Record(x, {unknown, unknown, unknown}, degrees);
  return degrees >= tolerance;
}

bool CurveEvaluation::Walk::Evaluate(float x, float& y) {
  if (!FollowsTrack(curve)) return curve.pCurve->EvaluatePoint(x, y, segment);
  if (span->Find(x)) {
    const std::array<float, 3>& kept = span->tape->angles[span->tape->cursor];
    if (!std::isnan(kept[0])) {
      y = kept[curve.iComponent];
      return true;
    }
  }
  int own = -1;
  if (!Reach(x, own)) {
    if (own >= 0) {
      y = curve.pCurve->GetPointAt(static_cast<std::uint32_t>(own))->y;
      return true;
    }
    return curve.pCurve->EvaluatePoint(x, y);
  }
  EulerAngles::Triple angles{};
  Quaternion unit;
  if (!AnglesOf(span->rotation, angles, unit)) return curve.pCurve->EvaluatePoint(x, y);
  y = static_cast<float>(angles[curve.iComponent]);
  span->Record(x, {static_cast<float>(angles[0]), static_cast<float>(angles[1]), static_cast<float>(angles[2])},
               std::numeric_limits<float>::infinity());
  return true;
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
      // The spline's slope there, on both sides: the key keeps the shape as one line.
      tangents.in[0] = tangents.out[0] = own.EvaluateSlope(x);
      tangents.type = EngineCore::TangentType::Free;
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
        for (int c = 0; c < 4; ++c)
          q[c] = Math::EvaluateHermite(middle[c], 0.0, rotation.v1[c], rotation.in1[c], after, u);
        return q;
      },
      [](double u) { return u * u * u - 2 * u * u + u; },
      [&](double u) { return HermiteAt(rotation, t + (1.0 - t) * u); });
  auto perSecond = [sign](const Quad& perPiece, double seconds) {
    return Quaternion(
        static_cast<float>(sign * perPiece[0] / seconds), static_cast<float>(sign * perPiece[1] / seconds),
        static_cast<float>(sign * perPiece[2] / seconds), static_cast<float>(sign * perPiece[3] / seconds));
  };
  tangents.in = RotationTangents::Local(key, perSecond(in, before));
  tangents.out = RotationTangents::Local(key, perSecond(out, after));
  // A rotation's pieces are fitted apart: its sides need not lie along one line.
  tangents.type = tangents.in == tangents.out ? EngineCore::TangentType::Free : EngineCore::TangentType::Broken;
  return true;
}

}  // namespace Tarvel
