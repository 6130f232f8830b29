#pragma once

#include <cstdint>
#include <memory>

#include "EditorToolkit/KeyTangents.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// The value a curve takes between its keys as its track plays in the engine, which every
// reader of a curve between keys (the graph, K, subdivise, smooth, the write-back of an axis
// without a key at a frame, the curve export) takes from here:
// - a step curve holds each key's value until the next key;
// - a linear translation or scale curve goes straight from key to key, a cubic one follows
//   the spline of its keys' values and tangents;
// - a rotation curve follows the track's rotation between the keys around x, in the editor's
//   Euler angles (degrees): the spherical blend (slerp, the shorter way round) of the keys'
//   rotations for a linear track, the spline of their quaternions and tangents, normalised,
//   for a cubic one (the later key taken on the side of the earlier one, as the write-back
//   keeps them). The triple is taken nearest to the straight blend of the keys' angles so that
//   the curve stays continuous and meets its keys exactly. The keys around x are those of the
//   three axes together, as the clip holds them; an axis without points is at 0 degrees. A
//   cubic rotation key's tangents are those of the first of X, Y, Z with a point on its frame.
// Before the first point and after the last the curve holds that point's value.
class CurveEvaluation {
 public:
  // Evaluates one curve at frames that mostly rise, as Evaluate does, keeping what the keys
  // around the last frame give for the next ones: tracing a curve costs one search per span
  // between keys instead of one per frame. The curve must not change while it walks.
  class Walk {
   public:
    explicit Walk(const CurveInfo& curve);
    ~Walk();
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;
    bool Evaluate(float x, float& y);
    // Whether a rotation strays from the straight line between the angles of the track's keys
    // around x by tolerance degrees or more, by an estimate from the keys' rotations and
    // tangents that finds no angle: where it does not, the line stands for the rotation. True
    // for a curve that does not follow its track, and at a key.
    bool Bends(float x, double tolerance);

   private:
    // Makes the walk's span the one around x; false when x lies on a key of the curve (own
    // names it) or outside the keys.
    bool Reach(float x, int& own);
    const CurveInfo& curve;
    std::uint32_t segment = 0;
    bool spanKnown = false;
    // A rotation's keys around the last frame.
    struct Span;
    std::unique_ptr<Span> span;
  };

  // The value at x; false for a curve without points.
  static bool Evaluate(const CurveInfo& curve, float x, float& y);
  // The value at x and, on a cubic curve, the tangents a key there takes to leave the curve as
  // it is (the spline split in two); false for a curve without points.
  static bool Split(const CurveInfo& curve, float x, float& y, EditorToolkit::KeyTangents& tangents);
  // Whether the curve is drawn as the straight line between its keys.
  static bool IsStraight(const CurveInfo& curve);
  // Whether the curve's values between keys depend on its sibling axes (a rotation).
  static bool FollowsTrack(const CurveInfo& curve);
};

}  // namespace Tarvel
