#include "curves/CurveDelta.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>

namespace Tarvel {

using EditorToolkit::Curve2;
using EditorToolkit::EditablePoint;
using EditorToolkit::KeyTangents;

namespace {
// Bit for bit: -0 and 0 are one number but two keys in the file, and an undo gives back the
// one it took.
bool Same(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }
bool SamePlace(const EditablePoint& a, const EditablePoint& b) { return Same(a.x, b.x) && Same(a.y, b.y); }
// The type too: a key whose tangents stay but whose type changes is a change of the clip.
bool SameTangents(const KeyTangents* a, const KeyTangents* b) {
  if (!a || !b) return a == b;
  if (a->type != b->type) return false;
  for (int c = 0; c < 4; ++c) {
    if (!Same(a->in[c], b->in[c]) || !Same(a->out[c], b->out[c])) return false;
  }
  return true;
}
}  // namespace

bool CurveDelta::Take(const Curve2::PointList& before, const Curve2::TangentList& tangentsBefore, const Curve2& now) {
  return TakeFrom([&before](std::uint32_t i) -> const EditablePoint& { return before[i]; },
                  [&tangentsBefore](std::uint32_t i) -> const KeyTangents* {
                    return i < tangentsBefore.size() ? &tangentsBefore[i] : nullptr;
                  },
                  static_cast<std::uint32_t>(before.size()), now, 0, 0);
}

bool CurveDelta::TakeSlice(const Curve2::PointList& slice, std::uint32_t offset, const Curve2& now) {
  const std::uint32_t count = now.GetPointCount();
  const std::uint32_t size = static_cast<std::uint32_t>(slice.size());
  if (offset > count || size > count - offset) return false;
  return TakeFrom([&slice, offset](std::uint32_t i) -> const EditablePoint& { return slice[i - offset]; },
                  [&now](std::uint32_t i) { return now.GetTangentsAt(i); }, count, now, offset, count - offset - size);
}

template <typename Before, typename TangentsBefore>
bool CurveDelta::TakeFrom(const Before& before, const TangentsBefore& tangentsBefore, std::uint32_t n,
                          const Curve2& now, std::uint32_t same, std::uint32_t sameAtEnd) {
  const std::uint32_t m = now.GetPointCount();
  const bool cubic = now.IsCubic();
  auto sameKey = [&](std::uint32_t i, std::uint32_t j) {
    return SamePlace(before(i), *now.GetPointAt(j)) &&
           (!cubic || SameTangents(tangentsBefore(i), now.GetTangentsAt(j)));
  };
  std::uint32_t prefix = same;
  const std::uint32_t scanEnd = n - sameAtEnd;
  while (prefix < scanEnd && prefix < m && sameKey(prefix, prefix)) ++prefix;
  // Past the points that may differ, the rest are the same.
  if (prefix == scanEnd) prefix = n;
  std::uint32_t suffix = sameAtEnd;
  while (suffix < n - prefix && suffix < m - prefix && sameKey(n - 1 - suffix, m - 1 - suffix)) ++suffix;
  if (prefix == n && prefix == m) return false;
  first = prefix;
  currentCount = m - prefix - suffix;
  const std::uint32_t storedCount = n - prefix - suffix;
  valuesOnly = storedCount == currentCount;
  for (std::uint32_t i = 0; valuesOnly && i < storedCount; ++i) {
    valuesOnly = Same(before(first + i).x, now.GetPointAt(first + i)->x) &&
                 (!cubic || SameTangents(tangentsBefore(first + i), now.GetTangentsAt(first + i)));
  }
  if (valuesOnly) {
    values.resize(storedCount);
    for (std::uint32_t i = 0; i < storedCount; ++i) values[i] = before(first + i).y;
  } else {
    points.resize(storedCount);
    for (std::uint32_t i = 0; i < storedCount; ++i) points[i] = before(first + i);
    if (cubic) {
      tangents.resize(storedCount);
      for (std::uint32_t i = 0; i < storedCount; ++i) {
        const KeyTangents* kept = tangentsBefore(first + i);
        tangents[i] = kept ? *kept : KeyTangents{};
      }
    }
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
    // Swaps the part of a list this change covers with what the change holds.
    auto swapPart = [this](auto& all, auto& part) {
      using List = std::remove_reference_t<decltype(part)>;
      List replaced(all.begin() + first, all.begin() + first + currentCount);
      all.erase(all.begin() + first, all.begin() + first + currentCount);
      all.insert(all.begin() + first, part.begin(), part.end());
      part = std::move(replaced);
    };
    Curve2::PointList all = curve.GetCurve();
    Curve2::TangentList allTangents = curve.GetTangents();
    const auto count = static_cast<std::uint32_t>(points.size());
    if (curve.IsCubic()) swapPart(allTangents, tangents);
    swapPart(all, points);
    currentCount = count;
    curve.SetCurve(std::move(all), std::move(allTangents));
  }
  return true;
}

}  // namespace Tarvel
