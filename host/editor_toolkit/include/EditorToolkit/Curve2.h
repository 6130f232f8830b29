#pragma once

#include <EditorCore/Color.h>
#include <EditorCore/Geometry.h>
#include <EditorToolkit/EditablePoint.h>
#include <EditorToolkit/KeyTangents.h>
#include <EngineCore/Vector2.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace EditorToolkit {

// The editor's editable 2-D curve: x is a frame, y a value.
//
// What callers may rely on:
// 1. Points are kept in rising x. Points of equal x keep the order they were added in.
// 2. A point's address holds until the next call that adds, removes, moves or swaps points
//    or sets the curve: callers name a key by its index or its frame across edits, never by
//    a pointer.
// 3. The curve goes from point to point by its interpolation, its track's: linear, a step
//    (each point's value holds until the next point) or cubic (glTF's cubic spline of the two
//    points' values and tangents, which are in value per second: the curve's frame rate turns
//    a span of frames into seconds); it holds its first and last values outside them.
// 4. Indices are positions in x order; they change when points are added, removed or moved.
// 5. The selected count is exact as long as selection goes through SelectPointAt and
//    SelectAllPoints; every other call keeps it exact (removals, moves, copies).
// 6. When nothing is selected, GetFirstSelectedPointIndex() > GetLastSelectedPointIndex().
//    Both are signed for that reason: first is the point count (>= 0) and last is -1, which
//    reads 0xFFFFFFFF when stored in a u32. Compare them as int, never as u32.
//
// 7. A cubic curve holds tangents for every point (KeyTangents), which travel with their point
//    through every call that adds, removes, moves, swaps or sets points; a new point without
//    tangents of its own gets those that keep the curve's shape where it lands (Subdivise,
//    Free) or zero ones of type Auto Clamped (AddPoint), which the clip's editor makes from
//    its neighbours. Other curves hold none.
//
// Storage: one array of points in x order, owned by the curve alone, and beside it, on a cubic
// curve only, one of their tangents: a linear curve pays nothing for them.
class Curve2 {
 public:
  // A snapshot of the points: contiguous copies of every field.
  using PointList = std::vector<EditablePoint>;
  // A snapshot of a cubic curve's tangents, point for point.
  using TangentList = std::vector<KeyTangents>;
  // The name the module's code uses for a snapshot. It begins with an underscore and a capital
  // (a reserved form), kept only as a nested alias so that code written against the original
  // host compiles; new code should say PointList.
  using _Curve = PointList;

  Curve2();
  ~Curve2();
  // Copies are deep: every point is duplicated, colours and box come along.
  Curve2(const Curve2& other);
  Curve2& operator=(const Curve2& other);
  // Moves keep the points' addresses.
  Curve2(Curve2&& other) noexcept;
  Curve2& operator=(Curve2&& other) noexcept;

  // Makes room for count points in total, so that adding them allocates nothing more.
  void Prepare(std::uint32_t count);

  enum Interpolation : std::uint32_t { Linear = 0, Step = 1, Cubic = 2 };
  std::uint32_t GetInterpolation() const { return interpolation; }
  bool IsCubic() const { return interpolation == Cubic; }
  // Becoming cubic gives every point zero tangents; leaving it drops them.
  void SetInterpolation(std::uint32_t how);
  // Frames per second of the curve's clip (60 until set): a cubic curve's tangents are per second.
  float GetFrameRate() const { return frameRate; }
  void SetFrameRate(float framesPerSecond);

  // Inserts a point in x order, after any point of equal x; bSelect selects the new point.
  // The point is not new, not hidden, with weight 1, with zero Auto Clamped tangents on a cubic curve. A
  // non-finite frame is refused (null and a log line); the curve is unchanged then.
  EditablePoint* AddPoint(EngineCore::Vector2 point, bool bSelect);
  // The same with the point's tangents (kept on a cubic curve only); returns its index, -1 when
  // refused.
  int AddPoint(EngineCore::Vector2 point, bool bSelect, const KeyTangents& tangents);

  // A cubic curve's tangents of a point; null on any other curve or past the end.
  const KeyTangents* GetTangentsAt(std::uint32_t index) const {
    return index < tangents.size() ? &tangents[index] : nullptr;
  }
  // False on a curve that is not cubic or past the end.
  bool SetTangentsAt(std::uint32_t index, const KeyTangents& value);
  // The slope of the curve at x, in value per second, from the same spline as EvaluatePoint
  // (0 on a step, outside the points and on an empty curve).
  float EvaluateSlope(float x) const;

  // False when index is past the end.
  bool RemovePointAt(std::uint32_t index);
  // Keeps the storage for the next points.
  void RemoveAllPoints();

  // Shifts the points first..last (inclusive) by dx frames, then restores x order. Moved points
  // stay on the side they came from: moving right they go before points they land on exactly,
  // moving left after them. Selection flags travel with their points, so the selected indices
  // must be read again. False, and nothing moves, when the range is empty or past the end or
  // dx is not finite.
  bool MovePointsAt(std::uint32_t first, std::uint32_t last, float dx);

  // Exchanges the list positions of two points without touching their fields; the caller
  // rewrites their frames afterwards (a time mirror). False when an index is past the end.
  bool SwapPoints(std::uint32_t i, std::uint32_t j);

  // False when index is past the end. Selecting a selected point changes nothing.
  // Selection is not a change of the curve: a curve handed out read only can be selected.
  bool SelectPointAt(std::uint32_t index, bool bSelect) const;
  void SelectAllPoints(bool bSelect) const;
  // Lowest selected index; the point count when nothing is selected.
  int GetFirstSelectedPointIndex() const;
  // Highest selected index; -1 (0xFFFFFFFF as a u32) when nothing is selected.
  int GetLastSelectedPointIndex() const;
  std::uint32_t GetSelectPointsCount() const { return selectedCount; }

  // Index of the point nearest to x in frame. Before the first point 0, after the last point
  // the last one. Of points at the same distance the lowest index wins, so among points of
  // equal x the first of them. -1 on an empty curve.
  int SearchNearestPoint(float x) const;
  // Index of the last point with a frame <= x. Before the first point 0 (that point is not
  // before x: callers check its frame). -1 on an empty curve.
  int SearchPreviousPoint(float x) const;

  // Value of the curve at x: by the interpolation between points, the first and last values
  // held outside them; at a frame shared by several points, the last of them. False, y
  // untouched, only on an empty curve.
  bool EvaluatePoint(float x, float& y) const;
  // The same, with segment as a search hint kept by the caller between calls. On return it
  // holds the index i with x(i) <= x < x(i + 1), clamped to 0 before the first point and to
  // the last index from the last point on. Any hint gives the right answer; a hint near the
  // answer makes the search cost near nothing, so walking x upwards is amortised O(1).
  bool EvaluatePoint(float x, float& y, std::uint32_t& segment) const;

  // Removes interior points of first..last whose removal changes the curve by less than
  // tolerance (largest vertical distance between old and new curve; nothing goes at a
  // tolerance <= 0). Both ends stay. last past the end is clamped. Returns the point count
  // afterwards.
  std::uint32_t SubSample(std::uint32_t first, std::uint32_t last, float tolerance);

  // Inserts count evenly spaced points strictly between x0 and x1, on the curve's current line,
  // and returns how many it inserted (0 when count <= 0, x0 >= x1, the curve is empty, or the
  // spacing falls below float precision; positions that round onto x0 or x1 are skipped).
  // bInheritSelection: the inserted points are selected when the points bounding the interval
  // (the last with x <= x0 and the first with x >= x1) both are, so that a subdivided
  // selection stays one contiguous selection. bMarkNew sets their bNew flag.
  int Subdivise(float x0, float x1, int count, bool bInheritSelection, bool bMarkNew);

  // Box of all points in curve units, rounded outwards: left the lowest frame (floor), right
  // the highest (ceil), top the lowest value (floor), bottom the highest (ceil). (0, 0, 0, 0)
  // when empty. GetBoundingBox gives the box of the last ComputeBoundingBox.
  void ComputeBoundingBox() const;
  const EditorCore::CRect& GetBoundingBox() const { return boundingBox; }

  // Colours start black (curve) and white (selection).
  void SetColor(EditorCore::COLORREF colour) { color = colour; }
  void SetSelectionColor(EditorCore::COLORREF colour) { selectionColor = colour; }
  EditorCore::COLORREF GetColor() const { return color; }
  EditorCore::COLORREF GetSelectionColor() const { return selectionColor; }

  // Copy of every point with all its fields, in x order.
  PointList GetCurve() const;
  // Copy of a cubic curve's tangents, point for point; empty on any other curve.
  TangentList GetTangents() const { return tangents; }
  // Replaces every point by a copy of points and recounts the selection; a cubic curve takes
  // the tangents given point for point (zero ones where the list is short). Points out of x
  // order are sorted (stable, with their tangents); points with a non-finite frame are
  // dropped with a log line, and the result is then false.
  bool SetCurve(const PointList& points, const TangentList& pointTangents = {});
  // The same, taking the storage instead of copying it.
  bool SetCurve(PointList&& points, TangentList&& pointTangents = {});

  std::uint32_t GetPointCount() const { return static_cast<std::uint32_t>(points.size()); }
  // Point index; the last point when index is past the end; null on an empty curve. Inline:
  // drawing and editing walk every point through it.
  EditablePoint* GetPointAt(std::uint32_t index) {
    ++revision;
    const std::uint32_t count = GetPointCount();
    return count == 0 ? nullptr : &points[std::min(index, count - 1)];
  }
  const EditablePoint* GetPointAt(std::uint32_t index) const {
    const std::uint32_t count = GetPointCount();
    return count == 0 ? nullptr : &points[std::min(index, count - 1)];
  }
  // Hands the points first..last (those the curve has) in order to visit, writable; the walk
  // counts as one writable access. Edits that move a run of keys walk it this way.
  template <typename Visit>
  void ForEachPoint(std::uint32_t first, std::uint32_t last, Visit&& visit) {
    ++revision;
    WalkPoints(points.data(), first, last, visit);
  }
  // The same, read-only, for drawing.
  template <typename Visit>
  void ForEachPoint(std::uint32_t first, std::uint32_t last, Visit&& visit) const {
    WalkPoints(points.data(), first, last, visit);
  }

  // bBinarySearch true: the first index whose frame is exactly x, by binary search, else -1.
  // false: the first index whose frame is exactly x, by a scan from the start, else the last
  // index. -1 on an empty curve in both cases.
  int GetPointIndex(float x, bool bBinarySearch) const;

  // Together, what the curve's frames and values are: a curve that keeps its id and its
  // revision has kept them. The id is the curve's own among every curve of the process; the
  // revision grows with every call that may change a frame or a value, writable access
  // through GetPointAt included (selection calls leave it). A view that keeps what it drew
  // of a curve draws it again when either differs.
  std::uint64_t GetId() const { return id; }
  std::uint64_t GetRevision() const { return revision; }
  // Grows with every selection call that may change which points are selected: a view that
  // marks selected points draws them again when it differs.
  std::uint64_t GetSelectionRevision() const { return selectionRevision; }
  // The falloff weights of the points (EditablePoint::weight) changed: they are drawn with the
  // selection, so they count in its revision.
  void NoteWeightsChanged() const { ++selectionRevision; }

 private:
  template <typename Point, typename Visit>
  void WalkPoints(Point* all, std::uint32_t first, std::uint32_t last, Visit& visit) const {
    const std::uint32_t count = GetPointCount();
    if (count == 0) return;
    const std::uint32_t end = std::min(last, count - 1) + 1;
    for (std::uint32_t i = first; i < end; ++i) visit(all[i]);
  }
  // First index whose frame is not below x, or with pastEqual above it.
  std::uint32_t FirstIndexPast(float x, bool pastEqual) const;
  // Back to no points and nothing selected, as a change of every point.
  void Clear();
  // Index of the last point with x(i) <= x, -1 when x lies before every point.
  int LastAtOrBefore(float x) const;
  bool Interpolate(float x, std::uint32_t segment, float& y) const;
  // Puts the points back in x order after frames changed, tangents along.
  void Reorder(std::uint32_t first, std::uint32_t last, float dx);
  // SubSample of a cubic curve: a point goes when the spline from the last kept point to the
  // next one, with their own tangents, stays within tolerance of the curve it replaces.
  std::uint32_t SubSampleCubic(std::uint32_t first, std::uint32_t last, float tolerance);

  static std::uint64_t NewId();

  std::uint64_t id = NewId();
  std::uint64_t revision = 0;
  mutable std::uint64_t selectionRevision = 0;
  std::vector<EditablePoint> points;
  // Point for point on a cubic curve, else empty.
  std::vector<KeyTangents> tangents;
  mutable std::uint32_t selectedCount = 0;
  std::uint32_t interpolation = Linear;
  float frameRate = 60.0f;
  // First and last selected index, found by a scan when first asked for after a change of
  // the selection or of the order, so that a drag asks for them at every step for free.
  mutable int selectionRangeFirst = 0;
  mutable int selectionRangeLast = -1;
  mutable bool selectionRangeKnown = false;
  void FindSelectionRange() const;
  mutable EditorCore::CRect boundingBox;
  EditorCore::COLORREF color = EditorCore::RGB(0, 0, 0);
  EditorCore::COLORREF selectionColor = EditorCore::RGB(255, 255, 255);
};

}  // namespace EditorToolkit
