#include <EditorToolkit/Curve2.h>

#include <EngineCore/Log.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace EditorToolkit {

namespace {

// Points a hinted evaluation steps over one by one before it starts galloping.
constexpr long kScanSteps = 8;

// A function object rather than a function, so that the standard algorithms inline it.
constexpr auto ByFrame = [](const EditablePoint& a, const EditablePoint& b) { return a.x < b.x; };

int FloorToInt(double value) {
  constexpr double lowest = std::numeric_limits<int>::min();
  constexpr double highest = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(std::floor(value), lowest, highest));
}

int CeilToInt(double value) {
  constexpr double lowest = std::numeric_limits<int>::min();
  constexpr double highest = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(std::ceil(value), lowest, highest));
}

bool IsFinitePoint(float x, float y) { return std::isfinite(x) && std::isfinite(y); }

}  // namespace

std::uint64_t Curve2::NewId() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

Curve2::Curve2() = default;

Curve2::~Curve2() = default;

// A copy is a curve of its own: it takes a new id.
Curve2::Curve2(const Curve2& other)
    : points(other.points),
      selectedCount(other.selectedCount),
      interpolation(other.interpolation),
      boundingBox(other.boundingBox),
      color(other.color),
      selectionColor(other.selectionColor) {}

Curve2& Curve2::operator=(const Curve2& other) {
  ++revision;
  selectionRangeKnown = false;
  if (this == &other) return *this;
  points = other.points;
  selectedCount = other.selectedCount;
  interpolation = other.interpolation;
  boundingBox = other.boundingBox;
  color = other.color;
  selectionColor = other.selectionColor;
  return *this;
}

Curve2::Curve2(Curve2&& other) noexcept
    : points(std::move(other.points)),
      selectedCount(std::exchange(other.selectedCount, 0)),
      interpolation(other.interpolation),
      boundingBox(other.boundingBox),
      color(other.color),
      selectionColor(other.selectionColor) {
  other.Clear();
}

Curve2& Curve2::operator=(Curve2&& other) noexcept {
  ++revision;
  selectionRangeKnown = false;
  if (this == &other) return *this;
  points = std::move(other.points);
  selectedCount = std::exchange(other.selectedCount, 0);
  interpolation = other.interpolation;
  boundingBox = other.boundingBox;
  color = other.color;
  selectionColor = other.selectionColor;
  other.Clear();
  return *this;
}

void Curve2::Clear() {
  ++revision;
  selectionRangeKnown = false;
  points.clear();
  selectedCount = 0;
}

void Curve2::Prepare(std::uint32_t count) { points.reserve(count); }

EditablePoint* Curve2::AddPoint(EngineCore::Vector2 point, bool bSelect) {
  ++revision;
  selectionRangeKnown = false;
  if (!IsFinitePoint(point.x, point.y)) {
    EngineCore::Log::Write(EngineCore::Log::Warning,
                           "Curve2::AddPoint refused a point with a non-finite frame or value");
    return nullptr;
  }
  EditablePoint value;
  value.bSelected = bSelect;
  value.x = point.x;
  value.y = point.y;
  // Loading walks keys in frame order, so appending is the common case.
  auto at = points.end();
  if (!points.empty() && point.x < points.back().x) at = std::upper_bound(points.begin(), points.end(), value, ByFrame);
  at = points.insert(at, value);
  if (bSelect) ++selectedCount;
  return &*at;
}

bool Curve2::RemovePointAt(std::uint32_t index) {
  ++revision;
  selectionRangeKnown = false;
  if (index >= GetPointCount()) return false;
  if (points[index].bSelected) {
    assert(selectedCount > 0 && "a selected flag was set without SelectPointAt");
    --selectedCount;
  }
  points.erase(points.begin() + index);
  return true;
}

void Curve2::RemoveAllPoints() { Clear(); }

bool Curve2::MovePointsAt(std::uint32_t first, std::uint32_t last, float dx) {
  ++revision;
  selectionRangeKnown = false;
  if (first > last || last >= GetPointCount() || !std::isfinite(dx)) return false;
  for (std::uint32_t i = first; i <= last; ++i) points[i].x += dx;
  if (std::is_sorted(points.begin(), points.end(), ByFrame)) return true;
  const auto begin = points.begin();
  const auto blockBegin = begin + first;
  const auto blockEnd = begin + last + 1;
  // The untouched points are still in order among themselves, so one merge puts the block
  // back; a merge keeps its first range ahead of equal points, which leaves moved points on
  // the side they came from.
  if (dx > 0.0f) {
    if (std::is_sorted(blockBegin, blockEnd, ByFrame) && std::is_sorted(blockEnd, points.end(), ByFrame)) {
      std::inplace_merge(blockBegin, blockEnd, points.end(), ByFrame);
    }
  } else if (std::is_sorted(begin, blockBegin, ByFrame) && std::is_sorted(blockBegin, blockEnd, ByFrame)) {
    std::inplace_merge(begin, blockBegin, blockEnd, ByFrame);
  }
  // Frames written by the caller since the last call can leave more than the block out of
  // place; a full stable sort repairs that.
  if (!std::is_sorted(points.begin(), points.end(), ByFrame)) {
    std::stable_sort(points.begin(), points.end(), ByFrame);
  }
  return true;
}

bool Curve2::SwapPoints(std::uint32_t i, std::uint32_t j) {
  ++revision;
  selectionRangeKnown = false;
  if (i >= GetPointCount() || j >= GetPointCount()) return false;
  std::swap(points[i], points[j]);
  return true;
}

bool Curve2::SelectPointAt(std::uint32_t index, bool bSelect) const {
  selectionRangeKnown = false;
  if (index >= GetPointCount()) return false;
  const EditablePoint& point = points[index];
  if (point.bSelected == bSelect) return true;
  point.bSelected = bSelect;
  ++selectionRevision;
  if (bSelect) {
    ++selectedCount;
  } else {
    assert(selectedCount > 0 && "a selected flag was set without SelectPointAt");
    --selectedCount;
  }
  return true;
}

void Curve2::SelectAllPoints(bool bSelect) const {
  selectionRangeKnown = false;
  for (const EditablePoint& point : points) point.bSelected = bSelect;
  selectedCount = bSelect ? GetPointCount() : 0;
  ++selectionRevision;
}

void Curve2::FindSelectionRange() const {
  if (selectionRangeKnown) return;
  const int count = static_cast<int>(GetPointCount());
  selectionRangeFirst = count;
  selectionRangeLast = -1;
  for (int i = 0; i < count; ++i) {
    if (points[static_cast<std::size_t>(i)].bSelected) {
      selectionRangeFirst = i;
      break;
    }
  }
  for (int i = count - 1; i >= selectionRangeFirst; --i) {
    if (points[static_cast<std::size_t>(i)].bSelected) {
      selectionRangeLast = i;
      break;
    }
  }
  selectionRangeKnown = true;
}

int Curve2::GetFirstSelectedPointIndex() const {
  FindSelectionRange();
  return selectionRangeFirst;
}

int Curve2::GetLastSelectedPointIndex() const {
  FindSelectionRange();
  return selectionRangeLast;
}

std::uint32_t Curve2::FirstIndexPast(float x, bool pastEqual) const {
  const auto at = pastEqual ? std::upper_bound(points.begin(), points.end(), x,
                                               [](float value, const EditablePoint& p) { return value < p.x; })
                            : std::lower_bound(points.begin(), points.end(), x,
                                               [](const EditablePoint& p, float value) { return p.x < value; });
  return static_cast<std::uint32_t>(at - points.begin());
}

int Curve2::LastAtOrBefore(float x) const { return static_cast<int>(FirstIndexPast(x, true)) - 1; }

int Curve2::SearchNearestPoint(float x) const {
  if (GetPointCount() == 0) return -1;
  auto lowerIndex = [this](float frame) { return static_cast<int>(FirstIndexPast(frame, false)); };
  const int count = static_cast<int>(GetPointCount());
  const int right = lowerIndex(x);
  if (right == 0) return 0;
  if (right == count) return lowerIndex(points.back().x);
  const float leftFrame = points[static_cast<std::size_t>(right - 1)].x;
  const float rightFrame = points[static_cast<std::size_t>(right)].x;
  // right is already the first of its run of equal frames; the left candidate may not be.
  if (x - leftFrame <= rightFrame - x) return lowerIndex(leftFrame);
  return right;
}

int Curve2::SearchPreviousPoint(float x) const {
  if (GetPointCount() == 0) return -1;
  return std::max(LastAtOrBefore(x), 0);
}

bool Curve2::Interpolate(float x, std::uint32_t segment, float& y) const {
  const EditablePoint& from = points[segment];
  if (segment + 1 >= GetPointCount() || x <= from.x) {
    y = from.y;
    return true;
  }
  const EditablePoint& to = points[segment + 1];
  const float span = to.x - from.x;
  if (!(span > 0.0f) || interpolation == Step) {
    y = from.y;
    return true;
  }
  // Clamped so that frames written out of order by the caller still give a value between the two.
  const float t = std::clamp((x - from.x) / span, 0.0f, 1.0f);
  y = from.y + (to.y - from.y) * t;
  return true;
}

bool Curve2::EvaluatePoint(float x, float& y) const {
  if (GetPointCount() == 0) return false;
  const int at = std::max(LastAtOrBefore(x), 0);
  return Interpolate(x, static_cast<std::uint32_t>(at), y);
}

bool Curve2::EvaluatePoint(float x, float& y, std::uint32_t& segment) const {
  if (GetPointCount() == 0) return false;
  const long count = static_cast<long>(GetPointCount());
  auto frameAt = [this](long i) { return points[static_cast<std::size_t>(i)].x; };
  long hint = std::min(static_cast<long>(segment), count - 1);
  long found = 0;
  // A few steps forward one point at a time (a caller walking upwards moves by a few points,
  // and a straight scan mispredicts once), then gallop at doubling offsets and bisect the
  // bracket: the cost grows with the log of the hint's error.
  if (frameAt(hint) <= x) {
    long low = hint;
    long probe = hint + 1;
    const long scanEnd = std::min(count, hint + 1 + kScanSteps);
    while (probe < scanEnd && frameAt(probe) <= x) low = probe++;
    if (probe == scanEnd && probe < count) {
      const long base = low;
      long offset = 1;
      long high = base + offset;
      while (high < count && frameAt(high) <= x) {
        low = high;
        offset *= 2;
        high = base + offset;
      }
      high = std::min(high, count);
      while (high - low > 1) {
        const long middle = low + (high - low) / 2;
        if (frameAt(middle) <= x) {
          low = middle;
        } else {
          high = middle;
        }
      }
    }
    found = low;
  } else {
    long high = hint;
    long offset = 1;
    long low = hint - offset;
    while (low >= 0 && frameAt(low) > x) {
      high = low;
      offset *= 2;
      low = hint - offset;
    }
    low = std::max(low, -1L);
    while (high - low > 1) {
      const long middle = low + (high - low) / 2;
      if (frameAt(middle) <= x) {
        low = middle;
      } else {
        high = middle;
      }
    }
    found = std::max(low, 0L);
  }
  segment = static_cast<std::uint32_t>(found);
  return Interpolate(x, segment, y);
}

std::uint32_t Curve2::SubSample(std::uint32_t first, std::uint32_t last, float tolerance) {
  ++revision;
  selectionRangeKnown = false;
  const std::uint32_t count = GetPointCount();
  if (count == 0) return 0;
  last = std::min(last, count - 1);
  if (first >= last || last - first < 2 || !(tolerance > 0.0f)) return count;

  // A point may go when every point dropped since the last kept one (the anchor) stays within
  // the tolerance of the straight line from the anchor to the next point. Each dropped point
  // bounds the slope of that line to an open interval; their intersection is all that needs
  // remembering, so the pass is linear. Both curves being linear between their points, the
  // largest vertical distance between them lies at a dropped point. Kept points are written
  // down over the dropped ones as the pass goes.
  const double tol = tolerance;
  EditablePoint anchor = points[first];
  double lowSlope = -std::numeric_limits<double>::infinity();
  double highSlope = std::numeric_limits<double>::infinity();
  std::uint32_t write = first + 1;
  for (std::uint32_t i = first + 1; i < last; ++i) {
    const EditablePoint point = points[i];
    const EditablePoint& next = points[i + 1];
    double low = lowSlope;
    double high = highSlope;
    bool removable = true;
    const double pointSpan = static_cast<double>(point.x) - anchor.x;
    const double pointRise = static_cast<double>(point.y) - anchor.y;
    if (pointSpan > 0.0) {
      low = std::max(low, (pointRise - tol) / pointSpan);
      high = std::min(high, (pointRise + tol) / pointSpan);
    } else {
      // Same frame as the anchor: the jump between them is what removal would erase.
      removable = std::fabs(pointRise) < tol;
    }
    const double nextSpan = static_cast<double>(next.x) - anchor.x;
    if (removable && nextSpan > 0.0) {
      const double slope = (static_cast<double>(next.y) - anchor.y) / nextSpan;
      removable = low < slope && slope < high;
    } else {
      removable = false;
    }
    if (removable) {
      lowSlope = low;
      highSlope = high;
      if (point.bSelected) --selectedCount;
    } else {
      points[write++] = point;
      anchor = point;
      lowSlope = -std::numeric_limits<double>::infinity();
      highSlope = std::numeric_limits<double>::infinity();
    }
  }
  points.erase(std::move(points.begin() + last, points.end(), points.begin() + write), points.end());
  return GetPointCount();
}

int Curve2::Subdivise(float x0, float x1, int count, bool bInheritSelection, bool bMarkNew) {
  ++revision;
  selectionRangeKnown = false;
  if (count <= 0 || GetPointCount() == 0 || !std::isfinite(x0) || !std::isfinite(x1) || !(x0 < x1)) return 0;

  const int size = static_cast<int>(points.size());
  const int before = LastAtOrBefore(x0);
  const int after = static_cast<int>(FirstIndexPast(x1, false));
  const bool select = bInheritSelection && before >= 0 && after < size &&
                      points[static_cast<std::size_t>(before)].bSelected &&
                      points[static_cast<std::size_t>(after)].bSelected;

  std::vector<EditablePoint> inserted;
  inserted.reserve(static_cast<std::size_t>(count));
  std::uint32_t segment = static_cast<std::uint32_t>(std::max(before, 0));
  const double span = static_cast<double>(x1) - x0;
  float previous = x0;
  for (int k = 1; k <= count; ++k) {
    const float x = static_cast<float>(x0 + span * k / (count + 1));
    // Below float precision neighbouring positions collapse; a duplicate frame is not inserted.
    if (!(x > previous) || !(x < x1)) continue;
    EditablePoint point;
    point.bSelected = select;
    point.bNew = bMarkNew;
    point.x = x;
    EvaluatePoint(x, point.y, segment);
    inserted.push_back(point);
    previous = x;
  }
  if (inserted.empty()) return 0;

  // Points strictly inside the interval (the caller passed non-neighbours) force one insertion
  // at a time; the usual neighbour case inserts the whole run at once.
  const int insertAt = before + 1;
  if (insertAt >= size || !(points[static_cast<std::size_t>(insertAt)].x < x1)) {
    points.insert(points.begin() + insertAt, inserted.begin(), inserted.end());
  } else {
    for (const EditablePoint& point : inserted) {
      points.insert(std::upper_bound(points.begin(), points.end(), point, ByFrame), point);
    }
  }
  if (select) selectedCount += static_cast<std::uint32_t>(inserted.size());
  return static_cast<int>(inserted.size());
}

void Curve2::ComputeBoundingBox() const {
  if (points.empty()) {
    boundingBox = EditorCore::CRect();
    return;
  }
  float lowX = points.front().x;
  float highX = lowX;
  float lowY = points.front().y;
  float highY = lowY;
  for (const EditablePoint& point : points) {
    lowX = std::min(lowX, point.x);
    highX = std::max(highX, point.x);
    lowY = std::min(lowY, point.y);
    highY = std::max(highY, point.y);
  }
  boundingBox = EditorCore::CRect(FloorToInt(lowX), FloorToInt(lowY), CeilToInt(highX), CeilToInt(highY));
}

Curve2::PointList Curve2::GetCurve() const { return points; }

bool Curve2::SetCurve(const PointList& list) { return SetCurve(PointList(list)); }

bool Curve2::SetCurve(PointList&& list) {
  Clear();
  points = std::move(list);
  const auto finite = std::remove_if(points.begin(), points.end(),
                                     [](const EditablePoint& point) { return !IsFinitePoint(point.x, point.y); });
  const auto dropped = static_cast<std::size_t>(points.end() - finite);
  points.erase(finite, points.end());
  for (const EditablePoint& point : points) selectedCount += point.bSelected ? 1 : 0;
  if (!std::is_sorted(points.begin(), points.end(), ByFrame)) {
    std::stable_sort(points.begin(), points.end(), ByFrame);
  }
  if (dropped > 0) {
    EngineCore::Log::Write(EngineCore::Log::Warning,
                           "Curve2::SetCurve dropped %zu points with a non-finite frame or value", dropped);
    return false;
  }
  return true;
}

int Curve2::GetPointIndex(float x, bool bBinarySearch) const {
  if (GetPointCount() == 0) return -1;
  if (bBinarySearch) {
    const std::uint32_t at = FirstIndexPast(x, false);
    if (at == GetPointCount() || points[at].x != x) return -1;
    return static_cast<int>(at);
  }
  const int count = static_cast<int>(GetPointCount());
  for (int i = 0; i < count; ++i) {
    if (points[static_cast<std::size_t>(i)].x == x) return i;
  }
  return count - 1;
}

}  // namespace EditorToolkit
