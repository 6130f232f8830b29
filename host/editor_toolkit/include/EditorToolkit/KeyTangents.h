#pragma once

#include <array>

#include "EngineCore/TangentType.h"

namespace EditorToolkit {

// The tangents of a key of a cubic curve, in the units its track's file stores them: value per
// second. A translation or scale axis uses the first component of each side. A rotation's
// axes each carry the whole quaternion tangent of their track's key (x, y, z, w), turned into
// the key's own frame (the key's rotation's conjugate times the tangent), so that it follows
// the key when its angles change and whichever sign the angles' quaternion comes out with.
// The type says how they are made: tangents given as values are Free unless they say
// otherwise; a point a curve adds without tangents of its own is Auto Clamped.
struct KeyTangents {
  // Arriving at the key.
  std::array<float, 4> in{};
  // Leaving the key.
  std::array<float, 4> out{};
  EngineCore::TangentType type = EngineCore::TangentType::Free;

  friend bool operator==(const KeyTangents&, const KeyTangents&) = default;
};

}  // namespace EditorToolkit
