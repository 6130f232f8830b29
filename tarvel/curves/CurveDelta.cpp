#include "curves/CurveDelta.h"

#include <algorithm>

namespace Tarvel {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;

namespace {
bool SamePlace(const EditablePoint& a, const EditablePoint& b) { return a.x == b.x && a.y == b.y; }
}  // namespace

bool CurveDelta::Take(const Curve2::PointList& before, const Curve2& now) {
  const std::uint32_t n = static_cast<std::uint32_t>(before.size());
  const std::uint32_t m = now.GetPointCount();
  std::uint32_t prefix = 0;
  while (prefix < n && prefix < m && SamePlace(before[prefix], *now.GetPointAt(prefix))) ++prefix;
  std::uint32_t suffix = 0;
  while (suffix < n - prefix && suffix < m - prefix &&
         SamePlace(before[n - 1 - suffix], *now.GetPointAt(m - 1 - suffix))) {
    ++suffix;
  }
  if (prefix == n && prefix == m) return false;
  first = prefix;
  currentCount = m - prefix - suffix;
  const std::uint32_t storedCount = n - prefix - suffix;
  valuesOnly = storedCount == currentCount;
  for (std::uint32_t i = 0; valuesOnly && i < storedCount; ++i) {
    valuesOnly = before[first + i].x == now.GetPointAt(first + i)->x;
  }
  if (valuesOnly) {
    values.resize(storedCount);
    for (std::uint32_t i = 0; i < storedCount; ++i) values[i] = before[first + i].y;
  } else {
    points.assign(before.begin() + first, before.begin() + first + storedCount);
  }
  return true;
}

void CurveDelta::Swap(Curve2& curve) {
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
  curve.ComputeBoundingBox();
}

}  // namespace Tarvel
