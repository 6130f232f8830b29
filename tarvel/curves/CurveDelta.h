#pragma once

#include <cstdint>
#include <vector>

#include "EditorToolkit/Curve2.h"

namespace Tarvel {

// What one edit did to one curve, kept as the part that differs: the points between the
// common beginning and the common end of the two states (frames, values and a cubic curve's
// tangents decide; selection and weights do not make a change), holding the state the curve
// is not in now. Swap puts
// that part into the curve and keeps what it replaced, so one call undoes and the next one
// redoes. When both parts hold the same frames and tangents only their values are kept: a value
// drag costs four bytes a point.
class CurveDelta {
 public:
  // The change from `before` to the curve's points now; false, and nothing kept, when the
  // points are the same.
  // `tangents` are those of `before` on a cubic curve.
  bool Take(const EditorToolkit::Curve2::PointList& before, const EditorToolkit::Curve2::TangentList& tangents,
            const EditorToolkit::Curve2& now);
  // The same when the state before differed from now only in the values of the points
  // offset..offset + slice.size() - 1, which `slice` holds: the curve kept its count, its
  // tangents and every other point.
  bool TakeSlice(const EditorToolkit::Curve2::PointList& slice, std::uint32_t offset, const EditorToolkit::Curve2& now);
  // False, and the curve left alone, when it lacks the points the part replaces.
  bool Swap(EditorToolkit::Curve2& curve);
  std::size_t GetHeldBytes() const {
    return values.capacity() * sizeof(float) + points.capacity() * sizeof(EditorToolkit::EditablePoint) +
           tangents.capacity() * sizeof(EditorToolkit::KeyTangents);
  }

 private:
  // The change from a state before of n points, point i given by before(i) and its tangents
  // by tangentsBefore(i) (null on a curve that is not cubic), whose first `same` points and
  // last `sameAtEnd` points are known to be the curve's now.
  template <typename Before, typename TangentsBefore>
  bool TakeFrom(const Before& before, const TangentsBefore& tangentsBefore, std::uint32_t n,
                const EditorToolkit::Curve2& now, std::uint32_t same, std::uint32_t sameAtEnd);
  // Points before the part, in both states.
  std::uint32_t first = 0;
  // Points of the part as the curve holds it now.
  std::uint32_t currentCount = 0;
  bool valuesOnly = false;
  std::vector<float> values;
  EditorToolkit::Curve2::PointList points;
  EditorToolkit::Curve2::TangentList tangents;
};

}  // namespace Tarvel
