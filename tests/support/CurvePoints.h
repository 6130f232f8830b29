#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include <EditorToolkit/Curve2.h>

// Editable curves made from (frame, value) pairs, and their points read back.
namespace CurvePoints {

using Frames = std::vector<float>;
using Points = std::vector<std::pair<float, float>>;

inline EditorToolkit::Curve2 Make(std::initializer_list<std::pair<float, float>> points) {
  EditorToolkit::Curve2 curve;
  for (const auto& [x, y] : points) curve.AddPoint({x, y}, false);
  return curve;
}

inline Frames Field(const EditorToolkit::Curve2& curve, float EditorToolkit::EditablePoint::*field) {
  Frames values;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i) values.push_back(curve.GetPointAt(i)->*field);
  return values;
}
inline Frames Xs(const EditorToolkit::Curve2& curve) { return Field(curve, &EditorToolkit::EditablePoint::x); }
inline Frames Ys(const EditorToolkit::Curve2& curve) { return Field(curve, &EditorToolkit::EditablePoint::y); }

// Frame and value of every point, in order.
inline Points Pts(const EditorToolkit::Curve2& curve) {
  Points points;
  for (std::uint32_t i = 0; i < curve.GetPointCount(); ++i)
    points.emplace_back(curve.GetPointAt(i)->x, curve.GetPointAt(i)->y);
  return points;
}

}  // namespace CurvePoints
