#include "TangentTypeCodes.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Formats {

namespace {

using EngineCore::AnimCurve;
using EngineCore::TangentType;

constexpr std::array<char, EngineCore::kTangentTypeCount> kLetters = {'c', 'a', 'f', 'l', 'u', 'b'};

// Whether the tangents of key k differ between their in and out sides in component c.
bool SidesDiffer(const AnimCurve& curve, std::uint32_t k, std::uint32_t c) {
  switch (curve.GetKeyType()) {
    case AnimCurve::KeyVector3: return curve.GetVector3InTangent(k)[c] != curve.GetVector3OutTangent(k)[c];
    case AnimCurve::KeyQuaternion: {
      const EngineCore::Quaternion& in = curve.GetQuaternionInTangent(k);
      const EngineCore::Quaternion& out = curve.GetQuaternionOutTangent(k);
      return in.x != out.x || in.y != out.y || in.z != out.z || in.w != out.w;
    }
    case AnimCurve::KeyWeights: return curve.GetWeightInTangent(k)[c] != curve.GetWeightOutTangent(k)[c];
    default: return false;
  }
}

}  // namespace

std::string TangentTypeCodes::Encode(const AnimCurve& curve) {
  const std::vector<TangentType>& types = curve.GetTangentTypes();
  const std::uint32_t width = curve.GetTangentTypeWidth();
  if (types.empty() || width == 0) return {};
  bool shown = true;
  std::string codes(types.size(), ' ');
  for (std::size_t i = 0; i < types.size(); ++i) {
    const auto k = static_cast<std::uint32_t>(i / width);
    const auto c = static_cast<std::uint32_t>(i % width);
    const TangentType implied = SidesDiffer(curve, k, c) ? TangentType::Broken : TangentType::Free;
    shown = shown && types[i] == implied;
    codes[i] = kLetters[static_cast<std::size_t>(types[i])];
  }
  return shown ? std::string() : codes;
}

bool TangentTypeCodes::Decode(const std::string& codes, std::vector<TangentType>& types) {
  types.clear();
  types.reserve(codes.size());
  for (const char letter : codes) {
    const auto found = std::find(kLetters.begin(), kLetters.end(), letter);
    if (found == kLetters.end()) return false;
    types.push_back(static_cast<TangentType>(found - kLetters.begin()));
  }
  return true;
}

}  // namespace Formats
