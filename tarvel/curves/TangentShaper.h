#pragma once

#include <array>
#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/TangentType.h"

namespace Tarvel {

// The tangents a cubic key's type makes from its neighbours, in the units the curve keeps
// (value per second; a rotation's as its key's local quaternion tangent):
// - Flat: zero on both sides.
// - Linear: each side the slope of the line to its neighbour (an end key both sides the one
//   it has); a rotation's along the spherical blend to its neighbour, as it played when linear.
// - Auto: both sides the mean of the slopes to the two neighbours (an end key the one it has).
// - Auto Clamped: as Auto, but zero at a local extreme and at the ends (the clip holds its end
//   values), and no steeper than three times the gentler of the two slopes, so that neither
//   segment leaves its keys' values (a cubic segment whose end slopes share its chord's sign
//   and are at most three times it is monotonic).
// - Free and Broken: set by hand, kept as they are.
// A rotation's three curves are shaped together: the slopes are those of its keys'
// quaternions (each taken on the side of its neighbour's), component by component, and every
// axis takes the result, as it carries the whole tangent; the first axis's types rule.
class TangentShaper {
 public:
  using Axes = std::array<const EditorToolkit::Curve2*, 3>;

  // Whether the type's tangents come from the neighbours.
  static bool IsMade(EngineCore::TangentType type);
  // Whether a curve is cubic with a key of such a type: moving its keys changes tangents.
  static bool HasMadeKeys(const EditorToolkit::Curve2& curve);
  // The tangents every key of a curve of one value per key should have, in tangents (as the
  // curve's, point for point); false when none differs from the curve's own.
  static bool Shape(const EditorToolkit::Curve2& curve, EditorToolkit::Curve2::TangentList& tangents);
  // Shapes the curve in place (a curve of one value per key); the frames whose segments
  // changed widen low..high (nothing when no tangent changed).
  static void Reshape(EditorToolkit::Curve2& curve, float& low, float& high);
  // The same for a rotation's three curves, whose keys lie on the same frames; false also
  // when they do not.
  static bool ShapeRotation(const Axes& axes, EditorToolkit::Curve2::TangentList& tangents);
  // Gives a key the type, with in and out made one line for Free (their mean); the tangents
  // of the other made types come from Shape.
  static void SetType(EditorToolkit::KeyTangents& tangents, EngineCore::TangentType type);
};

}  // namespace Tarvel
