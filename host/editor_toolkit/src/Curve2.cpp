#include <EditorToolkit/Curve2.h>

#include <EngineCore/Log.h>
#include <EngineCore/Math.h>

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

// A point with its tangents, for the reorderings of a cubic curve.
struct PointWithTangents {
  EditablePoint point;
  KeyTangents tangents;
};
float FrameOf(const EditablePoint& point) { return point.x; }
float FrameOf(const PointWithTangents& item) { return item.point.x; }

// Puts items back in x order after the items first..last moved by dx: moved items stay on the
// side they came from (see MovePointsAt).
template <typename Item>
void RestoreOrder(std::vector<Item>& items, std::uint32_t first, std::uint32_t last, float dx) {
  const auto byFrame = [](const Item& a, const Item& b) { return FrameOf(a) < FrameOf(b); };
  if (std::is_sorted(items.begin(), items.end(), byFrame)) return;
  const auto begin = items.begin();
  const auto blockBegin = begin + first;
  const auto blockEnd = begin + last + 1;
  // The untouched items are still in order among themselves, so one merge puts the block
  // back; a merge keeps its first range ahead of equal items, which leaves moved items on the
  // side they came from.
  if (dx > 0.0f) {
    if (std::is_sorted(blockBegin, blockEnd, byFrame) && std::is_sorted(blockEnd, items.end(), byFrame)) {
      std::inplace_merge(blockBegin, blockEnd, items.end(), byFrame);
    }
  } else if (std::is_sorted(begin, blockBegin, byFrame) && std::is_sorted(blockBegin, blockEnd, byFrame)) {
    std::inplace_merge(begin, blockBegin, blockEnd, byFrame);
  }
  // Frames written by the caller since the last call can leave more than the block out of
  // place; a full stable sort repairs that.
  if (!std::is_sorted(items.begin(), items.end(), byFrame)) std::stable_sort(items.begin(), items.end(), byFrame);
}

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
      tangents(other.tangents),
      selectedCount(other.selectedCount),
      interpolation(other.interpolation),
      frameRate(other.frameRate),
      boundingBox(other.boundingBox),
      color(other.color),
      selectionColor(other.selectionColor) {}

Curve2& Curve2::operator=(const Curve2& other) {
  ++revision;
  selectionRangeKnown = false;
  if (this == &other) return *this;
  points = other.points;
  tangents = other.tangents;
  selectedCount = other.selectedCount;
  interpolation = other.interpolation;
  frameRate = other.frameRate;
  boundingBox = other.boundingBox;
  color = other.color;
  selectionColor = other.selectionColor;
  return *this;
}

Curve2::Curve2(Curve2&& other) noexcept
    : points(std::move(other.points)),
      tangents(std::move(other.tangents)),
      selectedCount(std::exchange(other.selectedCount, 0)),
      interpolation(other.interpolation),
      frameRate(other.frameRate),
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
  tangents = std::move(other.tangents);
  selectedCount = std::exchange(other.selectedCount, 0);
  interpolation = other.interpolation;
  frameRate = other.frameRate;
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
  tangents.clear();
  selectedCount = 0;
}

void Curve2::Prepare(std::uint32_t count) {
  points.reserve(count);
  if (IsCubic()) tangents.reserve(count);
}

void Curve2::SetInterpolation(std::uint32_t how) {
  const std::uint32_t next = how == Step || how == Cubic ? how : Linear;
  if (next == interpolation) return;
  ++revision;
  interpolation = next;
  tangents.assign(IsCubic() ? points.size() : 0, KeyTangents{});
}

void Curve2::SetFrameRate(float framesPerSecond) {
  if (!(framesPerSecond > 0.0f) || !std::isfinite(framesPerSecond) || framesPerSecond == frameRate) return;
  ++revision;
  frameRate = framesPerSecond;
}

bool Curve2::SetTangentsAt(std::uint32_t index, const KeyTangents& value) {
  if (index >= tangents.size()) return false;
  ++revision;
  tangents[index] = value;
  return true;
}

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
  const auto index = at - points.begin();
  at = points.insert(at, value);
  // A new key's tangents follow its neighbours until they are set by hand.
  if (IsCubic()) tangents.insert(tangents.begin() + index, KeyTangents{{}, {}, EngineCore::TangentType::AutoClamped});
  if (bSelect) ++selectedCount;
  return &*at;
}

int Curve2::AddPoint(EngineCore::Vector2 point, bool bSelect, const KeyTangents& pointTangents) {
  const EditablePoint* added = AddPoint(point, bSelect);
  if (!added) return -1;
  const auto index = static_cast<std::uint32_t>(added - points.data());
  SetTangentsAt(index, pointTangents);
  return static_cast<int>(index);
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
  if (IsCubic()) tangents.erase(tangents.begin() + index);
  return true;
}

void Curve2::RemoveAllPoints() { Clear(); }

bool Curve2::MovePointsAt(std::uint32_t first, std::uint32_t last, float dx) {
  ++revision;
  selectionRangeKnown = false;
  if (first > last || last >= GetPointCount() || !std::isfinite(dx)) return false;
  for (std::uint32_t i = first; i <= last; ++i) points[i].x += dx;
  Reorder(first, last, dx);
  return true;
}

void Curve2::Reorder(std::uint32_t first, std::uint32_t last, float dx) {
  if (!IsCubic()) {
    RestoreOrder(points, first, last, dx);
    return;
  }
  if (std::is_sorted(points.begin(), points.end(), ByFrame)) return;
  std::vector<PointWithTangents> items(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) items[i] = {points[i], tangents[i]};
  RestoreOrder(items, first, last, dx);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i] = items[i].point;
    tangents[i] = items[i].tangents;
  }
}

bool Curve2::SwapPoints(std::uint32_t i, std::uint32_t j) {
  ++revision;
  selectionRangeKnown = false;
  if (i >= GetPointCount() || j >= GetPointCount()) return false;
  std::swap(points[i], points[j]);
  if (IsCubic()) std::swap(tangents[i], tangents[j]);
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
  if (IsCubic()) {
    y = static_cast<float>(EngineCore::Math::EvaluateHermite(from.y, tangents[segment].out[0], to.y,
                                                             tangents[segment + 1].in[0], span / frameRate, t));
  } else {
    y = from.y + (to.y - from.y) * t;
  }
  return true;
}

float Curve2::EvaluateSlope(float x) const {
  const int at = LastAtOrBefore(x);
  if (at < 0 || static_cast<std::uint32_t>(at) + 1 >= GetPointCount() || interpolation == Step) return 0.0f;
  const EditablePoint& from = points[static_cast<std::size_t>(at)];
  const EditablePoint& to = points[static_cast<std::size_t>(at) + 1];
  const double span = static_cast<double>(to.x) - from.x;
  if (!(span > 0.0)) return 0.0f;
  if (!IsCubic()) return static_cast<float>((static_cast<double>(to.y) - from.y) / span * frameRate);
  const double t = std::clamp((static_cast<double>(x) - from.x) / span, 0.0, 1.0);
  return static_cast<float>(EngineCore::Math::HermiteSlope(from.y, tangents[static_cast<std::size_t>(at)].out[0], to.y,
                                                           tangents[static_cast<std::size_t>(at) + 1].in[0],
                                                           span / frameRate, t));
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
  if (IsCubic()) return SubSampleCubic(first, last, tolerance);

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

std::uint32_t Curve2::SubSampleCubic(std::uint32_t first, std::uint32_t last, float tolerance) {
  // Checked against the spline as it was, at every point dropped and a few places between.
  const Curve2 before(*this);
  const std::vector<EditablePoint>& was = before.points;
  constexpr int kChecksPerSpan = 4;
  // Whether the spline from point `anchor` to point `next`, with their own tangents, stays
  // within the tolerance of the points between them and of the curve between those.
  auto fits = [&](std::uint32_t anchor, std::uint32_t next) {
    const double span = static_cast<double>(was[next].x) - was[anchor].x;
    if (!(span > 0.0)) return false;
    for (std::uint32_t i = anchor; i < next; ++i) {
      for (int k = i == anchor ? 1 : 0; k < kChecksPerSpan; ++k) {
        const double x = was[i].x + (static_cast<double>(was[i + 1].x) - was[i].x) * k / kChecksPerSpan;
        const double y = EngineCore::Math::EvaluateHermite(was[anchor].y, before.tangents[anchor].out[0], was[next].y,
                                                           before.tangents[next].in[0], span / frameRate,
                                                           (x - was[anchor].x) / span);
        float old = 0.0f;
        before.EvaluatePoint(static_cast<float>(x), old);
        if (!(std::abs(y - old) < tolerance)) return false;
      }
    }
    return true;
  };
  // Kept points are written down over the dropped ones as the pass goes.
  std::uint32_t write = first + 1;
  std::uint32_t anchor = first;
  for (std::uint32_t i = first + 1; i < last; ++i) {
    if (fits(anchor, i + 1)) {
      if (was[i].bSelected) --selectedCount;
      continue;
    }
    points[write] = was[i];
    tangents[write] = before.tangents[i];
    ++write;
    anchor = i;
  }
  points.erase(std::move(points.begin() + last, points.end(), points.begin() + write), points.end());
  tangents.erase(std::move(tangents.begin() + last, tangents.end(), tangents.begin() + write), tangents.end());
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
  // On a cubic curve each inserted point takes the slope there as both its tangents, which
  // splits the spline exactly: its neighbours keep theirs.
  std::vector<KeyTangents> insertedTangents;
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
    if (IsCubic()) {
      const float slope = EvaluateSlope(x);
      KeyTangents& split = insertedTangents.emplace_back();
      split.in[0] = slope;
      split.out[0] = slope;
      split.type = EngineCore::TangentType::Free;
    }
    previous = x;
  }
  if (inserted.empty()) return 0;

  // Points strictly inside the interval (the caller passed non-neighbours) force one insertion
  // at a time; the usual neighbour case inserts the whole run at once.
  const int insertAt = before + 1;
  if (insertAt >= size || !(points[static_cast<std::size_t>(insertAt)].x < x1)) {
    points.insert(points.begin() + insertAt, inserted.begin(), inserted.end());
    if (IsCubic()) tangents.insert(tangents.begin() + insertAt, insertedTangents.begin(), insertedTangents.end());
  } else {
    for (std::size_t k = 0; k < inserted.size(); ++k) {
      const auto at = std::upper_bound(points.begin(), points.end(), inserted[k], ByFrame);
      if (IsCubic()) tangents.insert(tangents.begin() + (at - points.begin()), insertedTangents[k]);
      points.insert(at, inserted[k]);
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

bool Curve2::SetCurve(const PointList& list, const TangentList& pointTangents) {
  return SetCurve(PointList(list), TangentList(pointTangents));
}

bool Curve2::SetCurve(PointList&& list, TangentList&& pointTangents) {
  Clear();
  points = std::move(list);
  if (IsCubic()) {
    tangents = std::move(pointTangents);
    tangents.resize(points.size());
  }
  auto finite = [](const EditablePoint& point) { return IsFinitePoint(point.x, point.y); };
  // Points with a non-finite frame or value are dropped, with their tangents.
  std::size_t kept = static_cast<std::size_t>(std::find_if_not(points.begin(), points.end(), finite) - points.begin());
  for (std::size_t i = kept; i < points.size(); ++i) {
    if (!finite(points[i])) continue;
    points[kept] = points[i];
    if (IsCubic()) tangents[kept] = tangents[i];
    ++kept;
  }
  const std::size_t dropped = points.size() - kept;
  points.resize(kept);
  if (IsCubic()) tangents.resize(kept);
  for (const EditablePoint& point : points) selectedCount += point.bSelected ? 1 : 0;
  if (!points.empty()) Reorder(0, static_cast<std::uint32_t>(points.size()) - 1, 0.0f);
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
