#include "curves/TangentShaper.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/Quaternion.h"
#include "curves/RotationTangents.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

using EditorToolkit::Curve2;
using EditorToolkit::KeyTangents;
using EngineCore::Quaternion;
using EngineCore::TangentType;

using Values = std::array<float, 4>;

// A key's values and those of its neighbours (null where it has none), the neighbours'
// distances in seconds.
struct Neighbourhood {
  const Values* previous = nullptr;
  const Values* own = nullptr;
  const Values* next = nullptr;
  double before = 0.0;
  double after = 0.0;
};

// The tangents of a made type in the first `components` components of in and out.
void Make(TangentType type, const Neighbourhood& keys, int components, Values& in, Values& out) {
  for (int c = 0; c < components; ++c) {
    const bool hasPrevious = keys.previous != nullptr;
    const bool hasNext = keys.next != nullptr;
    const double rise = hasPrevious ? static_cast<double>((*keys.own)[c]) - (*keys.previous)[c] : 0.0;
    const double fall = hasNext ? static_cast<double>((*keys.next)[c]) - (*keys.own)[c] : 0.0;
    const double slopeIn = hasPrevious ? rise / keys.before : 0.0;
    const double slopeOut = hasNext ? fall / keys.after : 0.0;
    double a = 0.0;
    double b = 0.0;
    switch (type) {
      case TangentType::Linear:
        a = hasPrevious ? slopeIn : slopeOut;
        b = hasNext ? slopeOut : slopeIn;
        break;
      case TangentType::Auto:
        a = b = hasPrevious && hasNext ? (slopeIn + slopeOut) / 2.0 : hasPrevious ? slopeIn : slopeOut;
        break;
      case TangentType::AutoClamped:
        if (hasPrevious && hasNext && ((rise > 0.0 && fall > 0.0) || (rise < 0.0 && fall < 0.0))) {
          const double limit = 3.0 * std::min(std::abs(slopeIn), std::abs(slopeOut));
          a = b = std::clamp((slopeIn + slopeOut) / 2.0, -limit, limit);
        }
        break;
      default: break;
    }
    in[static_cast<std::size_t>(c)] = static_cast<float>(a);
    out[static_cast<std::size_t>(c)] = static_cast<float>(b);
  }
}

// The velocity at `from`, per unit of s, of the spherical blend from `from` to `to`.
Values ArcVelocity(const Values& from, const Values& to, bool atStart) {
  double dot = 0.0;
  for (int c = 0; c < 4; ++c) dot += static_cast<double>(from[c]) * to[c];
  dot = std::clamp(dot, -1.0, 1.0);
  const double angle = std::acos(dot);
  const double sine = std::sin(angle);
  Values velocity{};
  for (std::size_t c = 0; c < 4; ++c) {
    // Nearly one rotation: the blend is the straight line.
    if (sine < 1e-6) {
      velocity[c] = to[c] - from[c];
    } else if (atStart) {
      velocity[c] = static_cast<float>(angle * (to[c] - dot * from[c]) / sine);
    } else {
      velocity[c] = static_cast<float>(angle * (dot * to[c] - from[c]) / sine);
    }
  }
  return velocity;
}

// A rotation key's Linear tangents: each side along the spherical blend to its neighbour, as
// the track played between them while it was linear (an end key both sides the one it has).
void MakeAlongArcs(const Neighbourhood& keys, Values& in, Values& out) {
  const bool hasPrevious = keys.previous != nullptr;
  const bool hasNext = keys.next != nullptr;
  Values a{};
  Values b{};
  if (hasPrevious) a = ArcVelocity(*keys.previous, *keys.own, false);
  if (hasNext) b = ArcVelocity(*keys.own, *keys.next, true);
  for (std::size_t c = 0; c < 4; ++c) {
    const double slopeIn = hasPrevious ? a[c] / keys.before : 0.0;
    const double slopeOut = hasNext ? b[c] / keys.after : 0.0;
    in[c] = static_cast<float>(hasPrevious ? slopeIn : slopeOut);
    out[c] = static_cast<float>(hasNext ? slopeOut : slopeIn);
  }
}

// The neighbourhood of key i of count keys at frames, their values in values.
template <typename FrameOf>
Neighbourhood Around(std::size_t i, std::size_t count, const std::vector<Values>& values, FrameOf frameOf,
                     double rate) {
  Neighbourhood keys;
  keys.own = &values[i];
  if (i > 0) {
    keys.before = (static_cast<double>(frameOf(i)) - frameOf(i - 1)) / rate;
    if (keys.before > 0.0) keys.previous = &values[i - 1];
  }
  if (i + 1 < count) {
    keys.after = (static_cast<double>(frameOf(i + 1)) - frameOf(i)) / rate;
    if (keys.after > 0.0) keys.next = &values[i + 1];
  }
  return keys;
}

}  // namespace

bool TangentShaper::IsMade(TangentType type) {
  return type == TangentType::AutoClamped || type == TangentType::Auto || type == TangentType::Flat ||
         type == TangentType::Linear;
}

bool TangentShaper::HasMadeKeys(const Curve2& curve) {
  if (!curve.IsCubic()) return false;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) {
    if (IsMade(curve.GetTangentsAt(i)->type)) return true;
  }
  return false;
}

void TangentShaper::Reshape(Curve2& curve, float& low, float& high) {
  Curve2::TangentList tangents;
  if (!Shape(curve, tangents)) return;
  const std::uint32_t last = curve.GetPointCount() - 1;
  for (std::uint32_t i = 0; i <= last; ++i) {
    if (tangents[i] == *curve.GetTangentsAt(i)) continue;
    curve.SetTangentsAt(i, tangents[i]);
    // Both segments of the key change, out to its neighbours.
    low = std::min(low, curve.GetPointAt(i == 0 ? 0 : i - 1)->x);
    high = std::max(high, curve.GetPointAt(std::min(i + 1, last))->x);
  }
}

bool TangentShaper::Shape(const Curve2& curve, Curve2::TangentList& tangents) {
  tangents = curve.GetTangents();
  const std::size_t count = tangents.size();
  if (count == 0 || curve.GetPointCount() != count) return false;
  std::vector<Values> values(count);
  for (std::size_t i = 0; i < count; ++i) values[i][0] = curve.GetPointAt(static_cast<std::uint32_t>(i))->y;
  const auto frameOf = [&curve](std::size_t i) { return curve.GetPointAt(static_cast<std::uint32_t>(i))->x; };
  bool changed = false;
  for (std::size_t i = 0; i < count; ++i) {
    KeyTangents& key = tangents[i];
    if (!IsMade(key.type)) continue;
    const KeyTangents was = key;
    Make(key.type, Around(i, count, values, frameOf, curve.GetFrameRate()), 1, key.in, key.out);
    changed = changed || !(key == was);
  }
  return changed;
}

bool TangentShaper::ShapeRotation(const Axes& axes, Curve2::TangentList& tangents) {
  tangents.clear();
  if (!axes[0] || !axes[1] || !axes[2]) return false;
  const std::uint32_t count = axes[0]->GetPointCount();
  for (const Curve2* axis : axes) {
    if (!axis->IsCubic() || axis->GetPointCount() != count) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (axis->GetPointAt(i)->x != axes[0]->GetPointAt(i)->x) return false;
    }
  }
  tangents = axes[0]->GetTangents();
  if (tangents.size() != count) return false;
  // The keys' quaternions as the write-back makes them from the angles.
  std::vector<Quaternion> keys(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    keys[i] = Quaternion::FromAngles(axes[0]->GetPointAt(i)->y * Ids::kRadiansPerDegree,
                                     axes[1]->GetPointAt(i)->y * Ids::kRadiansPerDegree,
                                     axes[2]->GetPointAt(i)->y * Ids::kRadiansPerDegree);
  }
  const auto frameOf = [&axes](std::size_t i) { return axes[0]->GetPointAt(static_cast<std::uint32_t>(i))->x; };
  bool changed = false;
  std::vector<Values> values(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    KeyTangents& key = tangents[i];
    if (!IsMade(key.type)) continue;
    // The neighbours on the side of the key's quaternion, as the spline plays them.
    const Quaternion& own = keys[i];
    for (std::uint32_t j = i > 0 ? i - 1 : i; j <= std::min(i + 1, count - 1); ++j) {
      const Quaternion q = j != i && keys[j].Dot(own) < 0.0f ? keys[j].Negated() : keys[j];
      values[j] = {q.x, q.y, q.z, q.w};
    }
    Values in{};
    Values out{};
    const Neighbourhood around = Around(i, count, values, frameOf, axes[0]->GetFrameRate());
    if (key.type == TangentType::Linear) {
      MakeAlongArcs(around, in, out);
    } else {
      Make(key.type, around, 4, in, out);
    }
    key.in = RotationTangents::Local(own, Quaternion(in[0], in[1], in[2], in[3]));
    key.out = RotationTangents::Local(own, Quaternion(out[0], out[1], out[2], out[3]));
  }
  for (const Curve2* axis : axes) changed = changed || axis->GetTangents() != tangents;
  return changed;
}

void TangentShaper::SetType(KeyTangents& tangents, TangentType type) {
  tangents.type = type;
  if (type != TangentType::Free) return;
  for (std::size_t c = 0; c < tangents.in.size(); ++c) {
    tangents.in[c] = tangents.out[c] = static_cast<float>((static_cast<double>(tangents.in[c]) + tangents.out[c]) / 2);
  }
}

}  // namespace Tarvel
