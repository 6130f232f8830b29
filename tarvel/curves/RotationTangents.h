#pragma once

#include <array>

#include "EditorToolkit/KeyTangents.h"
#include "EngineCore/Quaternion.h"

namespace Tarvel {

// A cubic rotation key's tangents between the clip's form (quaternions in value per second)
// and the curves' (the same tangents seen from the key's own rotation: its inverse times the
// tangent). A key whose angles are edited keeps its tangents in its own frame, so they turn
// with it; a key whose angles give back the same rotation with the other sign gets its
// tangents with that sign too, as the spline needs.
class RotationTangents {
 public:
  static EditorToolkit::KeyTangents ToLocal(const EngineCore::Quaternion& key, const EngineCore::Quaternion& in,
                                            const EngineCore::Quaternion& out);
  // The tangent in the clip's form for a key (of unit length) from one side's local tangent.
  static EngineCore::Quaternion FromLocal(const EngineCore::Quaternion& key, const std::array<float, 4>& local);
  // The local tangent of a tangent in the clip's form (the inverse of FromLocal).
  static std::array<float, 4> Local(const EngineCore::Quaternion& key, const EngineCore::Quaternion& tangent);
};

}  // namespace Tarvel
