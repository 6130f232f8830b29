#include <EditorToolkit/Curve2.h>

#include <EngineCore/Log.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <limits>
#include <mutex>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

namespace EditorToolkit {

namespace {

// What a free slot holds while it waits for its next point.
struct FreeLink {
  void* next;
};

// Slab memory the process keeps for the next curves, by block size. Loading a clip makes and
// unmakes many curves of the same few sizes; reusing their blocks spares the page faults of
// fresh memory, which cost more than the curve's own work.
class SlabReserve {
 public:
  static constexpr std::size_t kMaxBytes = 32u << 20;

  static void* Take(std::size_t bytes) {
    {
      std::lock_guard lock(Mutex());
      auto& blocks = Blocks()[bytes];
      if (!blocks.empty()) {
        void* block = blocks.back();
        blocks.pop_back();
        Held() -= bytes;
        return block;
      }
    }
    return ::operator new (bytes, std::align_val_t{alignof(std::max_align_t)});
  }

  static void Give(void* block, std::size_t bytes) {
    {
      std::lock_guard lock(Mutex());
      if (Held() + bytes <= kMaxBytes) {
        Blocks()[bytes].push_back(block);
        Held() += bytes;
        return;
      }
    }
    ::operator delete (block, std::align_val_t{alignof(std::max_align_t)});
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  // Never destroyed: curves of static objects may give their blocks back at exit.
  static std::unordered_map<std::size_t, std::vector<void*>>& Blocks() {
    static auto* blocks = new std::unordered_map<std::size_t, std::vector<void*>>();
    return *blocks;
  }
  static std::size_t& Held() {
    static std::size_t held = 0;
    return held;
  }
};

// Smallest slab taken when the curve grows without Prepare; later slabs double the room.
constexpr std::uint32_t kMinSlab = 16;

// Points a hinted evaluation steps over one by one before it starts galloping.
constexpr long kScanSteps = 8;

// A function object rather than a function, so that the standard algorithms inline it.
constexpr auto ByFrame = [](const EditablePoint* a, const EditablePoint* b) { return a->x < b->x; };

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

Curve2::Curve2(const Curve2& other)
    : boundingBox(other.boundingBox), color(other.color), selectionColor(other.selectionColor) {
  Prepare(other.GetPointCount());
  for (std::uint32_t i = 0; i < other.GetPointCount(); ++i) AppendInOrder(NewPoint(*other.OrderAt(i)));
  selectedCount = other.selectedCount;
  interpolation = other.interpolation;
}

Curve2& Curve2::operator=(const Curve2& other) {
  ++revision;
  selectionRangeKnown = false;
  if (this == &other) return *this;
  ReleaseAll();
  Prepare(other.GetPointCount());
  for (std::uint32_t i = 0; i < other.GetPointCount(); ++i) AppendInOrder(NewPoint(*other.OrderAt(i)));
  selectedCount = other.selectedCount;
  interpolation = other.interpolation;
  boundingBox = other.boundingBox;
  color = other.color;
  selectionColor = other.selectionColor;
  return *this;
}

Curve2::Curve2(Curve2&& other) noexcept
    : order(std::move(other.order)),
      slabs(std::move(other.slabs)),
      inSlabOrder(std::exchange(other.inSlabOrder, true)),
      slabOrderCount(std::exchange(other.slabOrderCount, 0)),
      currentSlab(std::exchange(other.currentSlab, 0)),
      freeCount(std::exchange(other.freeCount, 0)),
      freeList(std::exchange(other.freeList, nullptr)),
      selectedCount(std::exchange(other.selectedCount, 0)),
      interpolation(other.interpolation),
      boundingBox(other.boundingBox),
      color(other.color),
      selectionColor(other.selectionColor) {
  ++other.revision;
  other.selectionRangeKnown = false;
  other.order.clear();
  other.slabs.clear();
}

Curve2& Curve2::operator=(Curve2&& other) noexcept {
  ++revision;
  ++other.revision;
  selectionRangeKnown = false;
  other.selectionRangeKnown = false;
  if (this == &other) return *this;
  order = std::move(other.order);
  slabs = std::move(other.slabs);
  currentSlab = std::exchange(other.currentSlab, 0);
  freeCount = std::exchange(other.freeCount, 0);
  freeList = std::exchange(other.freeList, nullptr);
  inSlabOrder = std::exchange(other.inSlabOrder, true);
  slabOrderCount = std::exchange(other.slabOrderCount, 0);
  selectedCount = std::exchange(other.selectedCount, 0);
  interpolation = other.interpolation;
  boundingBox = other.boundingBox;
  color = other.color;
  selectionColor = other.selectionColor;
  other.order.clear();
  other.slabs.clear();
  return *this;
}

void Curve2::SlabRelease::operator()(Slot* cells) const { SlabReserve::Give(cells, bytes); }

void Curve2::AddSlab(std::uint32_t capacity) {
  Slab slab;
  const std::size_t bytes = std::size_t{capacity} * sizeof(Slot);
  slab.cells = std::unique_ptr<Slot[], SlabRelease>(static_cast<Slot*>(SlabReserve::Take(bytes)), SlabRelease{bytes});
  slab.capacity = capacity;
  slabs.push_back(std::move(slab));
}

std::uint32_t Curve2::FreeRoom() const {
  std::uint32_t room = freeCount;
  for (std::size_t i = currentSlab; i < slabs.size(); ++i) room += slabs[i].capacity - slabs[i].used;
  return room;
}

EditablePoint* Curve2::NewPoint(const EditablePoint& value) {
  void* where = nullptr;
  if (freeList != nullptr) {
    where = freeList;
    freeList = std::launder(static_cast<FreeLink*>(freeList))->next;
    --freeCount;
  } else {
    while (currentSlab < slabs.size() && slabs[currentSlab].used == slabs[currentSlab].capacity) {
      ++currentSlab;
    }
    if (currentSlab == slabs.size()) {
      std::uint32_t total = 0;
      for (const Slab& slab : slabs) total += slab.capacity;
      AddSlab(std::max(kMinSlab, total));
    }
    Slab& slab = slabs[currentSlab];
    where = &slab.cells[slab.used++];
  }
  return new (where) EditablePoint(value);
}

void Curve2::FreePoint(EditablePoint* point) {
  std::destroy_at(point);
  freeList = new (static_cast<void*>(point)) FreeLink{freeList};
  ++freeCount;
}

void Curve2::AppendInOrder(EditablePoint* point) {
  if (inSlabOrder && !slabs.empty() && slabOrderCount < slabs.front().capacity &&
      point == std::launder(reinterpret_cast<EditablePoint*>(&slabs.front().cells[slabOrderCount]))) {
    ++slabOrderCount;
    return;
  }
  LayOutOrder();
  order.push_back(point);
}

void Curve2::LayOutOrder() {
  if (!inSlabOrder) return;
  order.reserve(std::max<std::size_t>(slabOrderCount, 16));
  for (std::uint32_t i = 0; i < slabOrderCount; ++i) order.push_back(OrderAt(i));
  inSlabOrder = false;
  slabOrderCount = 0;
}

void Curve2::ReleaseAll() {
  ++revision;
  selectionRangeKnown = false;
  // Back in slab order: the pointer array gives its memory back.
  std::vector<EditablePoint*>().swap(order);
  inSlabOrder = true;
  slabOrderCount = 0;
  for (Slab& slab : slabs) slab.used = 0;
  currentSlab = 0;
  freeList = nullptr;
  freeCount = 0;
  selectedCount = 0;
}

void Curve2::Prepare(std::uint32_t count) {
  if (!inSlabOrder) order.reserve(count);
  const std::uint32_t held = GetPointCount();
  if (count <= held) return;
  const std::uint32_t room = FreeRoom();
  if (count - held > room) AddSlab(count - held - room);
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
  const std::uint32_t count = GetPointCount();
  EditablePoint* added = NewPoint(value);
  // Loading walks keys in frame order, so appending is the common case.
  if (count == 0 || OrderAt(count - 1)->x <= point.x) {
    AppendInOrder(added);
  } else {
    LayOutOrder();
    auto at = std::upper_bound(order.begin(), order.end(), added, ByFrame);
    order.insert(at, added);
  }
  if (bSelect) ++selectedCount;
  return added;
}

bool Curve2::RemovePointAt(std::uint32_t index) {
  ++revision;
  selectionRangeKnown = false;
  if (index >= GetPointCount()) return false;
  LayOutOrder();
  EditablePoint* point = order[index];
  if (point->bSelected) {
    assert(selectedCount > 0 && "a selected flag was set without SelectPointAt");
    --selectedCount;
  }
  order.erase(order.begin() + index);
  FreePoint(point);
  return true;
}

void Curve2::RemoveAllPoints() { ReleaseAll(); }

bool Curve2::MovePointsAt(std::uint32_t first, std::uint32_t last, float dx) {
  ++revision;
  selectionRangeKnown = false;
  if (first > last || last >= GetPointCount() || !std::isfinite(dx)) return false;
  for (std::uint32_t i = first; i <= last; ++i) OrderAt(i)->x += dx;
  bool sorted = true;
  for (std::uint32_t i = 1; i < GetPointCount() && sorted; ++i) sorted = !(OrderAt(i)->x < OrderAt(i - 1)->x);
  if (sorted) return true;
  LayOutOrder();
  const auto begin = order.begin();
  const auto blockBegin = begin + first;
  const auto blockEnd = begin + last + 1;
  // The untouched points are still in order among themselves, so one merge puts the block
  // back; a merge keeps its first range ahead of equal points, which leaves moved points on
  // the side they came from.
  if (dx > 0.0f) {
    if (std::is_sorted(blockBegin, blockEnd, ByFrame) && std::is_sorted(blockEnd, order.end(), ByFrame)) {
      std::inplace_merge(blockBegin, blockEnd, order.end(), ByFrame);
    }
  } else if (std::is_sorted(begin, blockBegin, ByFrame) && std::is_sorted(blockBegin, blockEnd, ByFrame)) {
    std::inplace_merge(begin, blockBegin, blockEnd, ByFrame);
  }
  // Frames written by the caller since the last call can leave more than the block out of
  // place; a full stable sort repairs that.
  if (!std::is_sorted(order.begin(), order.end(), ByFrame)) {
    std::stable_sort(order.begin(), order.end(), ByFrame);
  }
  return true;
}

bool Curve2::SwapPoints(std::uint32_t i, std::uint32_t j) {
  ++revision;
  selectionRangeKnown = false;
  if (i >= GetPointCount() || j >= GetPointCount()) return false;
  LayOutOrder();
  std::swap(order[i], order[j]);
  return true;
}

bool Curve2::SelectPointAt(std::uint32_t index, bool bSelect) {
  selectionRangeKnown = false;
  if (index >= GetPointCount()) return false;
  EditablePoint* point = OrderAt(index);
  if (point->bSelected == bSelect) return true;
  point->bSelected = bSelect;
  ++selectionRevision;
  if (bSelect) {
    ++selectedCount;
  } else {
    assert(selectedCount > 0 && "a selected flag was set without SelectPointAt");
    --selectedCount;
  }
  return true;
}

void Curve2::SelectAllPoints(bool bSelect) {
  selectionRangeKnown = false;
  for (std::uint32_t i = 0; i < GetPointCount(); ++i) OrderAt(i)->bSelected = bSelect;
  selectedCount = bSelect ? GetPointCount() : 0;
  ++selectionRevision;
}

void Curve2::FindSelectionRange() const {
  if (selectionRangeKnown) return;
  const int count = static_cast<int>(GetPointCount());
  selectionRangeFirst = count;
  selectionRangeLast = -1;
  for (int i = 0; i < count; ++i) {
    if (OrderAt(static_cast<std::uint32_t>(i))->bSelected) {
      selectionRangeFirst = i;
      break;
    }
  }
  for (int i = count - 1; i >= selectionRangeFirst; --i) {
    if (OrderAt(static_cast<std::uint32_t>(i))->bSelected) {
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

std::uint32_t Curve2::FirstIndexPast(float x, bool pastEqual, std::uint32_t& examined) const {
  std::uint32_t low = 0;
  std::uint32_t span = GetPointCount();
  while (span > 0) {
    const std::uint32_t half = span / 2;
    ++examined;
    const float frame = OrderAt(low + half)->x;
    if (pastEqual ? !(x < frame) : frame < x) {
      low += half + 1;
      span -= half + 1;
    } else {
      span = half;
    }
  }
  return low;
}

void Curve2::NoteSearchLength(std::uint32_t examined) const {
  // Written only when it changes: two threads drawing the same curve would otherwise pass its
  // cache line back and forth.
  if (lastSearchLength.load(std::memory_order_relaxed) != examined) {
    lastSearchLength.store(examined, std::memory_order_relaxed);
  }
}

int Curve2::LastAtOrBefore(float x) const {
  std::uint32_t examined = 0;
  const std::uint32_t at = FirstIndexPast(x, true, examined);
  NoteSearchLength(examined);
  return static_cast<int>(at) - 1;
}

int Curve2::SearchNearestPoint(float x) const {
  if (GetPointCount() == 0) return -1;
  auto lowerIndex = [this](float frame) {
    std::uint32_t examined = 0;
    return static_cast<int>(FirstIndexPast(frame, false, examined));
  };
  const int count = static_cast<int>(GetPointCount());
  const int right = lowerIndex(x);
  if (right == 0) return 0;
  if (right == count) return lowerIndex(OrderAt(static_cast<std::uint32_t>(count - 1))->x);
  const float leftFrame = OrderAt(static_cast<std::uint32_t>(right - 1))->x;
  const float rightFrame = OrderAt(static_cast<std::uint32_t>(right))->x;
  // right is already the first of its run of equal frames; the left candidate may not be.
  if (x - leftFrame <= rightFrame - x) return lowerIndex(leftFrame);
  return right;
}

int Curve2::SearchPreviousPoint(float x) const {
  if (GetPointCount() == 0) return -1;
  return std::max(LastAtOrBefore(x), 0);
}

bool Curve2::Interpolate(float x, std::uint32_t segment, float& y) const {
  const EditablePoint* from = OrderAt(segment);
  if (segment + 1 >= GetPointCount() || x <= from->x) {
    y = from->y;
    return true;
  }
  const EditablePoint* to = OrderAt(segment + 1);
  const float span = to->x - from->x;
  if (!(span > 0.0f) || interpolation == Step) {
    y = from->y;
    return true;
  }
  // Clamped so that frames written out of order by the caller still give a value between the two.
  const float t = std::clamp((x - from->x) / span, 0.0f, 1.0f);
  y = from->y + (to->y - from->y) * t;
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
  std::uint32_t examined = 0;
  auto frameAt = [&](long i) {
    ++examined;
    return OrderAt(static_cast<std::uint32_t>(i))->x;
  };
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
  NoteSearchLength(examined);
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
  LayOutOrder();

  // A point may go when every point dropped since the last kept one (the anchor) stays within
  // the tolerance of the straight line from the anchor to the next point. Each dropped point
  // bounds the slope of that line to an open interval; their intersection is all that needs
  // remembering, so the pass is linear. Both curves being linear between their points, the
  // largest vertical distance between them lies at a dropped point.
  const double tol = tolerance;
  const EditablePoint* anchor = order[first];
  double lowSlope = -std::numeric_limits<double>::infinity();
  double highSlope = std::numeric_limits<double>::infinity();
  std::uint32_t write = first + 1;
  for (std::uint32_t i = first + 1; i < last; ++i) {
    EditablePoint* point = order[i];
    const EditablePoint* next = order[i + 1];
    double low = lowSlope;
    double high = highSlope;
    bool removable = true;
    const double pointSpan = static_cast<double>(point->x) - anchor->x;
    const double pointRise = static_cast<double>(point->y) - anchor->y;
    if (pointSpan > 0.0) {
      low = std::max(low, (pointRise - tol) / pointSpan);
      high = std::min(high, (pointRise + tol) / pointSpan);
    } else {
      // Same frame as the anchor: the jump between them is what removal would erase.
      removable = std::fabs(pointRise) < tol;
    }
    const double nextSpan = static_cast<double>(next->x) - anchor->x;
    if (removable && nextSpan > 0.0) {
      const double slope = (static_cast<double>(next->y) - anchor->y) / nextSpan;
      removable = low < slope && slope < high;
    } else {
      removable = false;
    }
    if (removable) {
      lowSlope = low;
      highSlope = high;
      if (point->bSelected) --selectedCount;
      FreePoint(point);
    } else {
      order[write++] = point;
      anchor = point;
      lowSlope = -std::numeric_limits<double>::infinity();
      highSlope = std::numeric_limits<double>::infinity();
    }
  }
  const auto tail = std::move(order.begin() + last, order.end(), order.begin() + write);
  order.erase(tail, order.end());
  return GetPointCount();
}

int Curve2::Subdivise(float x0, float x1, int count, bool bInheritSelection, bool bMarkNew) {
  ++revision;
  selectionRangeKnown = false;
  if (count <= 0 || GetPointCount() == 0 || !std::isfinite(x0) || !std::isfinite(x1) || !(x0 < x1)) return 0;
  LayOutOrder();

  const int size = static_cast<int>(order.size());
  const int before = LastAtOrBefore(x0);
  const int after =
      static_cast<int>(std::lower_bound(order.begin(), order.end(), x1,
                                        [](const EditablePoint* p, float value) { return p->x < value; }) -
                       order.begin());
  const bool select =
      bInheritSelection && before >= 0 && after < size && order[before]->bSelected && order[after]->bSelected;

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
  const bool clear = insertAt >= size || !(order[insertAt]->x < x1);
  if (clear) {
    std::vector<EditablePoint*> fresh;
    fresh.reserve(inserted.size());
    for (const EditablePoint& point : inserted) fresh.push_back(NewPoint(point));
    order.insert(order.begin() + insertAt, fresh.begin(), fresh.end());
  } else {
    for (const EditablePoint& point : inserted) {
      EditablePoint* added = NewPoint(point);
      order.insert(std::upper_bound(order.begin(), order.end(), added, ByFrame), added);
    }
  }
  if (select) selectedCount += static_cast<std::uint32_t>(inserted.size());
  return static_cast<int>(inserted.size());
}

void Curve2::ComputeBoundingBox() {
  if (GetPointCount() == 0) {
    boundingBox = EditorCore::CRect();
    return;
  }
  float lowX = OrderAt(0)->x;
  float highX = lowX;
  float lowY = OrderAt(0)->y;
  float highY = lowY;
  for (std::uint32_t i = 0; i < GetPointCount(); ++i) {
    const EditablePoint* point = OrderAt(i);
    lowX = std::min(lowX, point->x);
    highX = std::max(highX, point->x);
    lowY = std::min(lowY, point->y);
    highY = std::max(highY, point->y);
  }
  boundingBox = EditorCore::CRect(FloorToInt(lowX), FloorToInt(lowY), CeilToInt(highX), CeilToInt(highY));
}

Curve2::PointList Curve2::GetCurve() const {
  PointList copy;
  copy.reserve(GetPointCount());
  for (std::uint32_t i = 0; i < GetPointCount(); ++i) copy.push_back(*OrderAt(i));
  return copy;
}

bool Curve2::SetCurve(const PointList& points) {
  ++revision;
  selectionRangeKnown = false;
  ReleaseAll();
  Prepare(static_cast<std::uint32_t>(points.size()));
  // Every slab is empty now, so the copies are laid out in runs, slab after slab.
  std::size_t dropped = 0;
  std::size_t next = 0;
  bool sorted = true;
  float previous = -std::numeric_limits<float>::infinity();
  while (next < points.size()) {
    while (currentSlab < slabs.size() && slabs[currentSlab].used == slabs[currentSlab].capacity) ++currentSlab;
    assert(currentSlab < slabs.size() && "Prepare left too little room");
    Slab& slab = slabs[currentSlab];
    std::uint32_t written = 0;
    const std::uint32_t room = slab.capacity - slab.used;
    Slot* run = &slab.cells[slab.used];
    // A run that continues the first slab's points in place extends the slab order at once.
    const bool inPlace = inSlabOrder && currentSlab == 0 && slabOrderCount == slab.used;
    for (; next < points.size() && written < room; ++next) {
      const EditablePoint& point = points[next];
      if (!IsFinitePoint(point.x, point.y)) {
        ++dropped;
        continue;
      }
      EditablePoint* copy = new (&run[written++]) EditablePoint(point);
      if (!inPlace) AppendInOrder(copy);
      selectedCount += point.bSelected ? 1 : 0;
      sorted = sorted && !(point.x < previous);
      previous = point.x;
    }
    if (inPlace) slabOrderCount += written;
    slab.used += written;
  }
  if (!sorted) {
    LayOutOrder();
    std::stable_sort(order.begin(), order.end(), ByFrame);
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
    std::uint32_t examined = 0;
    const std::uint32_t at = FirstIndexPast(x, false, examined);
    if (at == GetPointCount() || OrderAt(at)->x != x) return -1;
    return static_cast<int>(at);
  }
  const int count = static_cast<int>(GetPointCount());
  for (int i = 0; i < count; ++i) {
    if (OrderAt(static_cast<std::uint32_t>(i))->x == x) return i;
  }
  return count - 1;
}

std::size_t Curve2::GetHeldBytes() const {
  std::size_t bytes = order.capacity() * sizeof(EditablePoint*);
  for (const Slab& slab : slabs) bytes += slab.capacity * sizeof(Slot);
  return bytes;
}

}  // namespace EditorToolkit
