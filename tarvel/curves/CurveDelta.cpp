#include "curves/CurveDelta.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace Tarvel {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {
// Bit for bit: -0 and 0 are one number but two keys in the file, and an undo gives back the
// one it took.
bool Same(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool SamePlace(const EditablePoint& a, const EditablePoint& b) { return Same(a.x, b.x) && Same(a.y, b.y); }
}  // namespace

bool CurveDelta::Take(const Curve2::PointList& before, const Curve2& now) {
  return TakeFrom([&before](std::uint32_t i) -> const EditablePoint& { return before[i]; },
                  static_cast<std::uint32_t>(before.size()), now, 0, 0);
}

bool CurveDelta::TakeSlice(const Curve2::PointList& slice, std::uint32_t offset, const Curve2& now) {
  const std::uint32_t count = now.GetPointCount();
  const std::uint32_t size = static_cast<std::uint32_t>(slice.size());
  if (offset > count || size > count - offset) return false;
  return TakeFrom([&slice, offset](std::uint32_t i) -> const EditablePoint& { return slice[i - offset]; }, count, now,
                  offset, count - offset - size);
}

template <typename Before>
bool CurveDelta::TakeFrom(const Before& before, std::uint32_t n, const Curve2& now, std::uint32_t same,
                          std::uint32_t sameAtEnd) {
  const std::uint32_t m = now.GetPointCount();
  std::uint32_t prefix = same;
  const std::uint32_t scanEnd = n - sameAtEnd;
  while (prefix < scanEnd && prefix < m && SamePlace(before(prefix), *now.GetPointAt(prefix))) ++prefix;
  // Past the points that may differ, the rest are the same.
  if (prefix == scanEnd) prefix = n;
  std::uint32_t suffix = sameAtEnd;
  while (suffix < n - prefix && suffix < m - prefix &&
         SamePlace(before(n - 1 - suffix), *now.GetPointAt(m - 1 - suffix))) {
    ++suffix;
  }
  if (prefix == n && prefix == m) return false;
  first = prefix;
  currentCount = m - prefix - suffix;
  const std::uint32_t storedCount = n - prefix - suffix;
  valuesOnly = storedCount == currentCount;
  for (std::uint32_t i = 0; valuesOnly && i < storedCount; ++i) {
    valuesOnly = Same(before(first + i).x, now.GetPointAt(first + i)->x);
  }
  if (valuesOnly) {
    values.resize(storedCount);
    for (std::uint32_t i = 0; i < storedCount; ++i) values[i] = before(first + i).y;
  } else {
    points.resize(storedCount);
    for (std::uint32_t i = 0; i < storedCount; ++i) points[i] = before(first + i);
  }
  return true;
}

bool CurveDelta::Swap(Curve2& curve) {
  // A curve changed behind the history's back may be shorter than the state this change
  // knows: swapping would reach past its points.
  if (first + currentCount > curve.GetPointCount()) return false;
  if (valuesOnly) {
    for (std::uint32_t i = 0; i < currentCount; ++i) std::swap(curve.GetPointAt(first + i)->y, values[i]);
  } else {
    Curve2::PointList all = curve.GetCurve();
    Curve2::PointList replaced(all.begin() + first, all.begin() + first + currentCount);
    all.erase(all.begin() + first, all.begin() + first + currentCount);
    all.insert(all.begin() + first, points.begin(), points.end());
    currentCount = static_cast<std::uint32_t>(points.size());
    points = std::move(replaced);
    curve.SetCurve(all);
  }
  return true;
}

}  // namespace Tarvel
