#include "tools/KeyTransforms.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "EngineCore/Math.h"
#include "EngineCore/Vector2.h"
#include "curves/EulerAngles.h"

namespace Tarvel {

using EditorToolkit::Curve2;

namespace {

float& X(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->x; }
float& Y(Curve2& curve, std::uint32_t i) { return curve.GetPointAt(i)->y; }

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

void KeyTransforms::ScaleKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, float factor, bool ownSpline) {
  if (!(factor > 0.0f) || !std::isfinite(factor) || last <= first) return;
  const float origin = X(curve, first);
  // The range scaled about its first key, then each key put on the whole frame nearest its
  // place with the value the scaled curve has there. Of keys that reach one frame the later
  // stays, so that the range keeps its last key and its keys stay in order.
  std::vector<EngineCore::Vector2> scaled;
  for (std::uint32_t i = first; i <= last; ++i)
    scaled.push_back({origin + (X(curve, i) - origin) * factor, Y(curve, i)});
  std::vector<float> frames(scaled.size());
  float taken = std::numeric_limits<float>::infinity();
  for (std::size_t k = scaled.size() - 1; k > 0; --k) {
    const float frame = std::round(scaled[k].x);
    frames[k] = frame < taken && frame > origin ? frame : std::numeric_limits<float>::quiet_NaN();
    if (!std::isnan(frames[k])) taken = frame;
  }
  // A cubic curve's spline over the scaled range has its slopes divided by the factor.
  std::vector<EditorToolkit::KeyTangents> tangents;
  if (curve.IsCubic()) {
    for (std::uint32_t i = first; i <= last; ++i) {
      EditorToolkit::KeyTangents scaledTangents = *curve.GetTangentsAt(i);
      for (int c = 0; c < 4; ++c) {
        if (i > first) scaledTangents.in[c] /= factor;
        if (i < last) scaledTangents.out[c] /= factor;
      }
      tangents.push_back(scaledTangents);
    }
  }
  // The scaled curve's value at a frame: on its spline with ownSpline, else straight between
  // the scaled keys.
  const bool spline = curve.IsCubic() && ownSpline;
  auto valueAt = [&](float frame) {
    const auto after = std::upper_bound(scaled.begin(), scaled.end(), frame,
                                        [](float f, const EngineCore::Vector2& p) { return f < p.x; });
    if (after == scaled.begin()) return after->y;
    if (after == scaled.end()) return scaled.back().y;
    const auto k = static_cast<std::size_t>(after - scaled.begin());
    const EngineCore::Vector2& before = scaled[k - 1];
    if (!spline) return before.y + (after->y - before.y) * (frame - before.x) / (after->x - before.x);
    const double span = static_cast<double>(after->x) - before.x;
    return static_cast<float>(EngineCore::Math::EvaluateHermite(before.y, tangents[k - 1].out[0], after->y,
                                                                tangents[k].in[0], span / curve.GetFrameRate(),
                                                                (frame - before.x) / span));
  };
  std::vector<float> values(scaled.size());
  for (std::size_t k = 1; k < scaled.size(); ++k) {
    if (std::isnan(frames[k])) continue;
    values[k] = valueAt(frames[k]);
  }
  for (std::size_t k = 0; k < tangents.size(); ++k)
    curve.SetTangentsAt(first + static_cast<std::uint32_t>(k), tangents[k]);

  const float oldLast = X(curve, last);
  float newLast = origin;
  for (std::size_t k = 1; k < scaled.size(); ++k) newLast = std::isnan(frames[k]) ? newLast : frames[k];
  for (std::uint32_t k = static_cast<std::uint32_t>(scaled.size()) - 1; k > 0; --k) {
    if (std::isnan(frames[k])) curve.RemovePointAt(first + k);
  }
  last = first;
  auto place = [&] {
    for (std::size_t k = 1; k < scaled.size(); ++k) {
      if (std::isnan(frames[k])) continue;
      ++last;
      X(curve, last) = frames[k];
      Y(curve, last) = values[k];
    }
  };
  // The keys after the range move by as much as its last key, in the order that lets no key
  // pass another.
  const std::uint32_t kept = static_cast<std::uint32_t>(
      std::count_if(frames.begin() + 1, frames.end(), [](float f) { return !std::isnan(f); }));
  const std::uint32_t count = curve.GetPointCount();
  const float moved = newLast - oldLast;
  const std::uint32_t after = first + kept + 1;
  if (moved > 0.0f && after < count) curve.MovePointsAt(after, count - 1, moved);
  place();
  if (moved < 0.0f && after < count) curve.MovePointsAt(after, count - 1, moved);
}

void KeyTransforms::MirrorTime(Curve2& curve, std::uint32_t first, std::uint32_t last) {
  const float mid = X(curve, first) + (X(curve, last) - X(curve, first)) * 0.5f;
  for (std::uint32_t i = first; i <= first + (last - first) / 2; ++i) curve.SwapPoints(i, first + last - i);
  for (std::uint32_t i = first; i <= last; ++i) {
    X(curve, i) = 2.0f * mid - X(curve, i);
    if (!curve.IsCubic()) continue;
    const EditorToolkit::KeyTangents was = *curve.GetTangentsAt(i);
    EditorToolkit::KeyTangents mirrored;
    for (int c = 0; c < 4; ++c) {
      mirrored.in[c] = -was.out[c];
      mirrored.out[c] = -was.in[c];
    }
    curve.SetTangentsAt(i, mirrored);
  }
}

void KeyTransforms::MirrorValues(Curve2& curve, std::uint32_t first, std::uint32_t last, bool negateTangents) {
  const float mid = (Y(curve, first) + Y(curve, last)) * 0.5f;
  for (std::uint32_t i = first; i <= last; ++i) {
    Y(curve, i) = (mid - Y(curve, i)) + mid;
    if (!negateTangents || !curve.IsCubic()) continue;
    EditorToolkit::KeyTangents tangents = *curve.GetTangentsAt(i);
    for (int c = 0; c < 4; ++c) {
      tangents.in[c] = -tangents.in[c];
      tangents.out[c] = -tangents.out[c];
    }
    curve.SetTangentsAt(i, tangents);
  }
}

std::vector<EditorToolkit::EditablePoint> KeyTransforms::SubdivisionPoints(const Curve2& curve, std::uint32_t first,
                                                                           std::uint32_t last, int count) {
  std::vector<EditorToolkit::EditablePoint> points;
  if (count <= 0) return points;
  // New keys go on whole frames, the only ones a clip holds: a segment shorter than count + 1
  // frames gets fewer.
  for (std::uint32_t i = first; i < last; ++i) {
    const double from = curve.GetPointAt(i)->x;
    const double to = curve.GetPointAt(i + 1)->x;
    const bool select = curve.GetPointAt(i)->bSelected && curve.GetPointAt(i + 1)->bSelected;
    double previous = from;
    for (int k = 1; k <= count; ++k) {
      const double frame = std::round(from + (to - from) * k / (count + 1));
      if (frame <= previous || frame >= to) continue;
      EditorToolkit::EditablePoint& point = points.emplace_back();
      point.x = static_cast<float>(frame);
      point.bSelected = select;
      previous = frame;
    }
  }
  return points;
}

std::uint32_t KeyTransforms::InsertPoints(Curve2& curve, std::uint32_t last,
                                          const std::vector<EditorToolkit::EditablePoint>& points, bool markNew,
                                          const Curve2::TangentList& tangents) {
  for (std::size_t k = 0; k < points.size(); ++k) {
    const EditorToolkit::EditablePoint& planned = points[k];
    const int index = curve.AddPoint({planned.x, planned.y}, planned.bSelected,
                                     k < tangents.size() ? tangents[k] : EditorToolkit::KeyTangents{});
    if (index < 0) continue;
    curve.GetPointAt(static_cast<std::uint32_t>(index))->bNew = markNew;
    ++last;
  }
  return last;
}

std::uint32_t KeyTransforms::SubdiviseKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count,
                                           bool markNew) {
  if (first + 1 > last) return last;
  std::vector<EditorToolkit::EditablePoint> points = SubdivisionPoints(curve, first, last, count);
  std::uint32_t segment = first;
  for (EditorToolkit::EditablePoint& point : points) curve.EvaluatePoint(point.x, point.y, segment);
  return InsertPoints(curve, last, points, markNew);
}

void KeyTransforms::SmoothKeys(Curve2& curve, std::uint32_t first, std::uint32_t last, int count) {
  if (count > 0) last = SubdiviseKeys(curve, first, last, count, true);
  SmoothNewKeys(curve, first, last);
}

void KeyTransforms::SmoothNewKeys(Curve2& curve, std::uint32_t first, std::uint32_t last) {
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
    const EulerAngles::Triple best = EulerAngles::Nearest(angles, previous);
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
