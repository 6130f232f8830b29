#pragma once

#include <cstdint>
#include <vector>

#include "EditorToolkit/Curve2.h"

namespace Tarvel {

// The workers of the key transform tools, each on one curve's index range first..last
// (first <= last, both within the curve).
class KeyTransforms {
 public:
  // The range a tool works on: every key, or the first to the last selected one. False for
  // an empty curve, or a curve without selected keys when only the selection is asked.
  static bool GetRange(const EditorToolkit::Curve2& curve, bool selection, std::uint32_t& first, std::uint32_t& last);
  // The range's length in whole frames (last frame minus first, truncated); -1 without range.
  static int GetRangeLength(const EditorToolkit::Curve2& curve, bool selection);

  // Stretches or shrinks the range in time by factor from its first key, which stays; the
  // keys after the range move by as much as its last key. Keys land on whole frames where
  // the curve has a value there. A cubic curve's slopes within the range are divided by the
  // factor (the first key's out-tangent, the last key's in-tangent and both of those between);
  // with ownSpline (tangents that are the curve's own slopes, not a rotation's) its keys land
  // on the scaled spline, else on the straight line between the scaled keys.
  static void ScaleKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, float factor,
                        bool ownSpline = true);
  // The same keys in reverse time order over the same span; a cubic curve's keys swap their
  // in and out tangents and negate them.
  static void MirrorTime(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last);
  // Values mirrored about the middle of the first and last values. With negateTangents a
  // cubic curve's tangents are negated too (a rotation's are kept: they are its key's own).
  static void MirrorValues(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, bool negateTangents);
  // The keys that subdivising the range adds, count between each pair of its keys on whole
  // frames, in frame order: their frames and selection (selected when both ends are); the
  // caller gives them their values.
  static std::vector<EditorToolkit::EditablePoint> SubdivisionPoints(const EditorToolkit::Curve2& curve,
                                                                     std::uint32_t first, std::uint32_t last,
                                                                     int count);
  // Adds the points to the curve, whose range ended at index last, with their tangents on a
  // cubic curve (point for point; zero ones without); returns its new last index. markNew
  // flags the inserted keys.
  static std::uint32_t InsertPoints(EditorToolkit::Curve2& curve, std::uint32_t last,
                                    const std::vector<EditorToolkit::EditablePoint>& points, bool markNew,
                                    const EditorToolkit::Curve2::TangentList& tangents = {});
  // count keys between each pair of keys of the range, on the straight line between them;
  // returns the range's new last index. markNew flags the inserted keys.
  static std::uint32_t SubdiviseKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, int count,
                                     bool markNew);
  // Inserts count keys per segment and lays them on the Catmull-Rom spline through the old
  // keys, which keep their values. count 0 changes nothing.
  static void SmoothKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, int count);
  // Lays the keys flagged new within the range on the Catmull-Rom spline through the others,
  // and clears their flag.
  static void SmoothNewKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last);

  // Takes the flips out of a rotation's three Euler curves (X, Y, Z in degrees, rotation
  // about X, then Y, then Z): at every key whose frame the three share, from firstFrame to
  // lastFrame, of the triples that give the same rotation (each angle moved by whole turns,
  // and (x + 180, 180 - y, z + 180)) it keeps the one nearest the previous key's triple. The
  // first key, or the key before firstFrame when there is one, is kept as it is. Returns
  // whether a value changed.
  static bool FilterEuler(EditorToolkit::Curve2& x, EditorToolkit::Curve2& y, EditorToolkit::Curve2& z,
                          float firstFrame, float lastFrame);
};

}  // namespace Tarvel
