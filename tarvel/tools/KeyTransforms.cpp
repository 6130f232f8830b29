#include "tools/KeyTransforms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "EngineCore/Math.h"

namespace Tarvel {

using EditorToolkit::Curve2;

namespace {

float& X(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->x; }
float& Y(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->y; }

// The angle moved by whole turns to lie nearest the reference.
double NearestTurn(double angle, double reference) {
  const double apart = reference - angle;
  return std::abs(apart) <= 180.0 ? angle : angle + 360.0 * std::round(apart / 360.0);
}

// The points of a curve at frames asked in increasing order.
class FrameCursor {
 public:
  explicit FrameCursor(Curve2& points) : curve(points) {}
  // The point at exactly that frame, or null.
  EditorToolkit::EditablePoint* At(float frame) {
    while (index < curve.GetPointCount() && curve.GetPointAt(index)->x < frame) ++index;
    if (index == curve.GetPointCount()) return nullptr;
    EditorToolkit::EditablePoint* point = curve.GetPointAt(index);
    return point->x == frame ? point : nullptr;
  }

 private:
  Curve2& curve;
  std::uint32_t index = 0;
};

}  // namespace

bool KeyTransforms::GetRange(const Curve2& curve, bool selection, std::uint32_t& first, std::uint32_t& last) {
  if (curve.GetPointCount() == 0) return false;
  if (!selection) {
    first = 0;
    last = curve.GetPointCount() - 1;
    return true;
  }
  const int from = curve.GetFirstSelectedPointIndex();
  const int to = curve.GetLastSelectedPointIndex();
  if (from > to) return false;
  first = static_cast<std::uint32_t>(from);
  last = static_cast<std::uint32_t>(to);
  return true;
}

int KeyTransforms::GetRangeLength(const Curve2& curve, bool selection) {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  if (!GetRange(curve, selection, first, last)) return -1;
  return static_cast<int>(curve.GetPointAt(last)->x - curve.GetPointAt(first)->x);
}

void KeyTransforms::ScaleKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, float factor) {
  const std::uint32_t count = curve.GetPointCount();
  if (last + 1 < count) {
    const float shift = std::ceil(factor * X(curve, last) - X(curve, last));
    curve.MovePointsAt(last + 1, count - 1, shift);
  }
  // Stretching works from the end so that no key passes its neighbour; shrinking from the start.
  auto settle = [&curve](std::uint32_t i) {
    const float whole = std::ceil(X(curve, i));
    float value = 0.0f;
    if (curve.EvaluatePoint(whole, value)) {
      X(curve, i) = whole;
      Y(curve, i) = value;
    }
  };
  if (factor > 1.0f) {
    for (std::uint32_t i = last; i > first; --i) X(curve, i) *= factor;
    for (std::uint32_t i = last; i > first; --i) settle(i);
  } else {
    for (std::uint32_t i = first + 1; i <= last; ++i) X(curve, i) *= factor;
    for (std::uint32_t i = first + 1; i <= last; ++i) settle(i);
  }
}

void KeyTransforms::MirrorTime(Curve2& curve, std::uint32_t first, std::uint32_t last) {
  const float mid = X(curve, first) + (X(curve, last) - X(curve, first)) * 0.5f;
  for (std::uint32_t i = first; i <= first + (last - first) / 2; ++i) curve.SwapPoints(i, first + last - i);
  for (std::uint32_t i = first; i <= last; ++i) X(curve, i) = 2.0f * mid - X(curve, i);
}

void KeyTransforms::MirrorValues(Curve2& curve, std::uint32_t first, std::uint32_t last) {
  const float mid = (Y(curve, first) + Y(curve, last)) * 0.5f;
  for (std::uint32_t i = first; i <= last; ++i) Y(curve, i) = (mid - Y(curve, i)) + mid;
}

std::uint32_t KeyTransforms::SubdiviseKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count,
                                           bool markNew) {
  if (count <= 0 || first + 1 > last) return last;
  for (std::uint32_t i = first; i < last;) {
    const int inserted = curve.Subdivise(X(curve, i), X(curve, i + 1), count, true, markNew);
    last += static_cast<std::uint32_t>(inserted);
    i += 1 + static_cast<std::uint32_t>(inserted);
  }
  return last;
}

void KeyTransforms::SmoothKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count) {
  if (count > 0) last = SubdiviseKeys(curve, first, last, count, true);
  const std::uint32_t points = curve.GetPointCount();
  auto isNew = [&curve](std::uint32_t i) { return curve.GetPointAt(i)->bNew; };
  bool hasPrevious = false;
  std::uint32_t previous = 0;
  for (std::uint32_t i = first; i < last;) {
    if (isNew(i)) {
      ++i;
      continue;
    }
    std::uint32_t next[2] = {0, 0};
    int found = 0;
    for (std::uint32_t k = i + 1; k <= last && found < 2; ++k) {
      if (!isNew(k)) next[found++] = k;
    }
    if (found == 0) {
      previous = i;
      hasPrevious = true;
      ++i;
      continue;
    }
    const std::uint32_t p1 = next[0];
    const float p0 = hasPrevious ? Y(curve, previous) : Y(curve, i);
    const float p3 = found == 2 ? Y(curve, next[1]) : Y(curve, std::min(last + 1, points - 1));
    // Only the inserted keys move onto the spline through the old ones.
    for (std::uint32_t k = i + 1; k < p1; ++k) {
      if (k <= first || k >= last) continue;
      const float t = (X(curve, k) - X(curve, i)) / (X(curve, p1) - X(curve, i));
      Y(curve, k) = EngineCore::Math::EvaluateCatmullRom(p0, Y(curve, i), Y(curve, p1), p3, t);
      curve.GetPointAt(k)->bNew = false;
    }
    previous = i;
    hasPrevious = true;
    i = p1;
  }
}

bool KeyTransforms::FilterEuler(Curve2& x, Curve2& y, Curve2& z, float firstFrame, float lastFrame) {
  bool changed = false;
  bool referenced = false;
  std::array<double, 3> previous{};
  FrameCursor atY(y);
  FrameCursor atZ(z);
  for (std::uint32_t i = 0; i < x.GetPointCount(); ++i) {
    EditorToolkit::EditablePoint* key[3] = {x.GetPointAt(i), nullptr, nullptr};
    const float frame = key[0]->x;
    if (frame > lastFrame) break;
    key[1] = atY.At(frame);
    key[2] = atZ.At(frame);
    if (!key[1] || !key[2]) continue;
    const std::array<double, 3> angles = {key[0]->y, key[1]->y, key[2]->y};
    if (!referenced || frame < firstFrame) {
      previous = angles;
      referenced = true;
      continue;
    }
    std::array<double, 3> best = angles;
    double bestDistance = std::numeric_limits<double>::infinity();
    const std::array<double, 3> flipped = {angles[0] + 180.0, 180.0 - angles[1], angles[2] + 180.0};
    for (const std::array<double, 3>& candidate : {angles, flipped}) {
      std::array<double, 3> moved{};
      double distance = 0.0;
      for (int c = 0; c < 3; ++c) {
        moved[c] = NearestTurn(candidate[c], previous[c]);
        distance += std::abs(moved[c] - previous[c]);
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = moved;
      }
    }
    for (int c = 0; c < 3; ++c) {
      const float value = static_cast<float>(best[c]);
      changed = changed || value != key[c]->y;
      key[c]->y = value;
      previous[c] = value;
    }
  }
  return changed;
}

}  // namespace Tarvel
