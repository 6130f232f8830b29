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

  // How fast the editor's Euler angles (X, Y, Z in degrees, the key's own triple `angles` of
  // the ones that give its rotation: EulerAngles) change, per second, as a spline leaves a key
  // of unit length with a tangent in the clip's form. False where the angles have no rates (at
  // Y = +-90 degrees, where X and Z turn about one axis).
  using Rates = std::array<double, 3>;
  static bool AngleRates(const EngineCore::Quaternion& key, const std::array<double, 3>& angles,
                         const EngineCore::Quaternion& tangent, Rates& rates);
  // The tangent, in the clip's form and along the unit sphere, that gives those rates; false
  // where no tangent does.
  static bool TangentForRates(const EngineCore::Quaternion& key, const std::array<double, 3>& angles,
                              const Rates& rates, EngineCore::Quaternion& tangent);
};

}  // namespace Tarvel
