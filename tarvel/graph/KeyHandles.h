#pragma once

#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// The Bezier handles of a cubic key: each side's tangent drawn a third of the way to the
// neighbouring key, where the glTF spline's Bezier control point lies, so that a handle is the
// key's tangent exactly. The first key has no in-handle and the last no out-handle (the clip
// holds its end values, so those tangents play no part). A rotation's curves show none: their
// tangents are their track's quaternion's, which no one axis's handle can stand for.
class KeyHandles {
 public:
  // Handles show only where the neighbouring key lies at least this many columns away.
  static constexpr int kMinSpacing = 12;
  // The half-width of a handle's end box, and how near a press must come to pick it.
  static constexpr int kBoxHalf = 2;

  enum Side : int { In = -1, Out = 1 };
  struct End {
    bool shown = false;
    double frame = 0.0;
    double value = 0.0;
  };

  // Whether the curve's keys have handles at all: cubic, following its own spline.
  static bool Has(const CurveInfo& info);
  // Where the handle of key index ends on a side; not shown without a neighbour there, or
  // with one closer than kMinSpacing columns at the view's columns per frame.
  static End Of(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side, double columnsPerFrame);
  // The tangent (value per second) a handle of the side takes when dragged to frame and
  // value: the slope from the key to there. A pointer on the key's frame or past it to the
  // other side gives the steepest slope it can still show, a hundredth of a frame away.
  static float SlopeTowards(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side, double frame,
                            double value);
};

}  // namespace Tarvel
