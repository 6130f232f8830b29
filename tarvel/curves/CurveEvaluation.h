#pragma once

#include <cstdint>

#include "curves/CurveInfo.h"

namespace Tarvel {

// The value a curve takes between its keys as its track plays in the engine, which every
// reader of a curve between keys (the graph, K, subdivise, smooth, the write-back of an axis
// without a key at a frame, the curve export) takes from here:
// - a step curve holds each key's value until the next key;
// - a linear translation or scale curve goes straight from key to key;
// - a linear rotation curve follows the spherical blend (slerp, the shorter way round) of
//   the track's rotations at the keys around x, in the editor's Euler angles (degrees), the
//   triple taken nearest to the straight blend of the keys' angles so that the curve stays
//   continuous and meets its keys exactly. The keys around x are those of the three axes
//   together, as the clip holds them; an axis without points is at 0 degrees.
// Before the first point and after the last the curve holds that point's value.
class CurveEvaluation {
 public:
  // The value at x; false for a curve without points.
  static bool Evaluate(const CurveInfo& curve, float x, float& y);
  // Whether the curve is drawn as the straight line between its keys.
  static bool IsStraight(const CurveInfo& curve);
};

}  // namespace Tarvel
