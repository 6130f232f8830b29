#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "EditorToolkit/Curve2.h"
#include "curves/CurveInfo.h"
#include "graph/PixelMap.h"

namespace Tarvel {

// A curve as the graph draws it: one span of rows per pixel column, the rows its polyline
// reaches within the column, so that drawing costs the same for a take of any length. What
// callers may rely on:
// 1. Column c covers the positions [c - 0.5, c + 0.5) of the frame map; a column gets every
//    height the polyline takes there, keys and crossings of its borders alike; a segment that
//    crosses a single border lends both its ends to both columns. Heights count pixels
//    upwards from the view's bottom edge, as the value map gives them.
// 2. The curve is traced between its first and last key only.
// 3. A pen of width w (up to kWidestPen) covers, around each traced point, the columns and
//    rows the back buffer's rasteriser covers with it: w/2 before, the rest after; sideways
//    only between the curve's first and last column, as the rasteriser's pen along a flat
//    line.
// 4. A trace is kept for the curve's id and revision in one view: tracing the same state in
//    the same view again costs nothing, and after an edit that a KeyEdit describes, only
//    the columns of the edited frames are traced again (of a bending curve, the frames any
//    axis of its track had edited, out to the track's keys around them). Either way the result is the one a new trace
//    would give.
class CurveTrace {
 public:
  static constexpr int kWidestPen = 4;
  // Spans keep the rows they reach per band of this many columns, counted from the first
  // traced column: a drawing confined to a few rows skips the bands it cannot touch.
  static constexpr int kBandColumns = 64;

  // An edit that changed a curve's keys between two of its revisions only within the frames
  // firstFrame..lastFrame: every key that moved, in value or in frame, lies there before and
  // after, and so do the neighbours of the edited keys.
  struct KeyEdit {
    std::uint64_t curveId = 0;
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    float firstFrame = 0.0f;
    float lastFrame = 0.0f;
  };

  // Traces the curve for drawing the columns from..to - 1 (and the neighbours a pen reaches
  // from); false when the curve reaches none of them. A step curve is traced as steps; a cubic
  // curve of its own keys through every column border and its turning points, so that each
  // column holds its true extremes; with its record (played), a rotation, which bends between
  // keys as its track plays, through every column border from CurveEvaluation. Keys closer
  // than a column fill their columns with their own rows (and a spline's turning points); keys
  // a few columns apart are followed through the middle of their span and its turning points.
  bool Trace(const EditorToolkit::Curve2& curve, const PixelMap& frames, const PixelMap& values, int from, int to,
             const KeyEdit* edit = nullptr, const CurveInfo* played = nullptr);
  // The edits since the kept trace: of the curve alone (first entry), or for a bending curve
  // of each axis of its track, whose keys shape it too (null where an axis was not edited).
  using Edits = std::array<const KeyEdit*, 3>;
  bool Trace(const EditorToolkit::Curve2& curve, const PixelMap& frames, const PixelMap& values, int from, int to,
             const Edits& edits, const CurveInfo* played);
  // The curves whose keys shape a trace, in the order of Edits: the curve alone (first entry),
  // or for a bending curve the three axes of its track.
  using Shapers = std::array<const EditorToolkit::Curve2*, 3>;
  static Shapers ShapedBy(const EditorToolkit::Curve2& curve, const CurveInfo* played);
  // Widens the frames an edit changed to the keys around them of every shaper: a bending
  // curve changes up to its track's keys, which may be a sibling's. Nothing for a curve alone.
  static void ReachTrackKeys(const Shapers& shapers, float& firstFrame, float& lastFrame);
  // The revisions a trace is kept for: those of its shapers.
  using Revisions = std::array<std::uint64_t, 3>;
  static Revisions RevisionsOf(const Shapers& shapers);
  // Rows drawn by a pen: tops[i] to bottoms[i] in column from + i, row 0 at the top;
  // tops[i] > bottoms[i] where nothing is drawn.
  struct SpanList {
    int pen = 0;
    int height = 0;
    bool valid = false;
    // Columns traced again since the spans were made (none while first > last).
    int dirtyFirst = 1;
    int dirtyLast = 0;
    std::vector<int> tops;
    std::vector<int> bottoms;
    // Per band, the first and last row any of its spans covers (first > last for none).
    std::vector<int> bandTops;
    std::vector<int> bandBottoms;
    // Whether a span of the band reaches into the rows top..bottom - 1.
    bool Reaches(std::size_t band, int top, int bottom) const {
      return bandTops[band] < bottom && bandBottoms[band] >= top;
    }
  };
  // The spans of a pen of penWidth pixels over the traced columns from..to - 1, in a view
  // viewHeight pixels high; kept for the last two pens asked for, and made again only where
  // the trace changed.
  const SpanList& Spans(int penWidth, int viewHeight);

 private:
  // Columns kept on each side of from..to - 1, for the pens' reach.
  static constexpr int kMargin = kWidestPen / 2;
  // Traces the columns first..last again, within the traced ones.
  void TraceColumns(const EditorToolkit::Curve2& curve, int first, int last);
  void FindReach();
  // The spans of the columns first..end - 1.
  void FillSpans(SpanList& spans, int viewHeight, int first, int end) const;
  // The band rows of the bands that hold the columns first..end - 1.
  void FindBandRows(SpanList& spans, int first, int end) const;

  // The lowest and highest height reached in each column from `from - kMargin` on; columns
  // the curve does not reach hold kNothing.
  std::vector<int> lows;
  std::vector<int> highs;
  int from = 0;
  int to = 0;
  // The first and last column the curve reached.
  int reachedFirst = 0;
  int reachedLast = -1;
  // What the trace shows.
  PixelMap frameMap{0.0, 1.0};
  PixelMap valueMap{0.0, 1.0};
  std::uint64_t curveId = 0;
  Revisions revisions{};
  const CurveInfo* played = nullptr;
  std::array<SpanList, 2> pens;
  std::size_t nextPenSlot = 0;
};

}  // namespace Tarvel
