#pragma once

#include <string>
#include <vector>

#include "EngineCore/AnimCurve.h"

namespace Formats {

// A cubic track's tangent types as a clip file keeps them, in its sampler's extras under
// kKey: one letter per key and component (c Auto Clamped, a Auto, f Flat, l Linear, u Free,
// b Broken), in the order of AnimCurve::GetTangentTypes. Other readers ignore extras; tangents
// are always written in full, so a reader that knows no types plays the same curve.
class TangentTypeCodes {
 public:
  static constexpr const char* kKey = "tarvelTangentTypes";
  // Empty when the track has no types, or only those its tangents show anyway (Free where in
  // and out are one, Broken where not), as a file from elsewhere reads: such a track writes
  // no extras, and its sampler stays as it was.
  static std::string Encode(const EngineCore::AnimCurve& curve);
  // False for a letter that names no type.
  static bool Decode(const std::string& codes, std::vector<EngineCore::TangentType>& types);
};

}  // namespace Formats
