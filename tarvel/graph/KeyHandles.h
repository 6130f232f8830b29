#pragma once

#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "EditorToolkit/KeyTangents.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// The Bezier handles of a cubic key: each side's slope drawn a third of the way to the
// neighbouring key, where the glTF spline's Bezier control point lies, so that a handle is the
// key's tangent exactly. The first key has no in-handle and the last no out-handle (the clip
// holds its end values, so those tangents play no part). A rotation's curve shows its angle's
// slope as the track's quaternion tangent turns it; dragging it turns that tangent so that the
// other two angles keep their slopes.
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

  // Whether the curve's keys have handles: cubic, and for a rotation with its three axes.
  static bool Has(const CurveInfo& info);
  // Where the handle of key index ends on a side; not shown without a neighbour there, with one
  // closer than kMinSpacing columns at the view's columns per frame, or where a rotation's
  // angles have no slopes (at Y = +-90 degrees).
  static End Of(const CurveInfo& info, std::uint32_t index, Side side, double columnsPerFrame);
  // The slope (value per second) a handle of the side takes when dragged to frame and value:
  // from the key to there. A pointer on the key's frame or past it to the other side gives the
  // steepest slope it can still show, a hundredth of a frame away.
  static float SlopeTowards(const EditorToolkit::Curve2& curve, std::uint32_t index, Side side, double frame,
                            double value);
  // The key's tangents once its handle on the side has the slope: on both sides, the key Free,
  // or on that side alone (breaks), the key Broken. A rotation's are its track's, which each of
  // its three curves holds. False where the slope cannot be given.
  static bool Turned(const CurveInfo& info, std::uint32_t index, Side side, float slope, bool breaks,
                     EditorToolkit::KeyTangents& tangents);
};

}  // namespace Tarvel
