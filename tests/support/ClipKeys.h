#pragma once

#include <bit>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineCore/AnimClip.h"

namespace TestSupport {

// A key's value as floats (a rotation x, y, z, w; weights one per target), and its tangents.
inline std::vector<float> KeyFloats(const EngineCore::AnimCurve& curve, std::uint32_t k, int which = 0) {
  switch (curve.GetKeyType()) {
    case EngineCore::AnimCurve::KeyQuaternion: {
      const EngineCore::Quaternion& q = which == 0  ? curve.GetQuaternionKey(k)
                                        : which < 0 ? curve.GetQuaternionInTangent(k)
                                                    : curve.GetQuaternionOutTangent(k);
      return {q.x, q.y, q.z, q.w};
    }
    case EngineCore::AnimCurve::KeyWeights: {
      const float* w = which == 0  ? curve.GetWeightKey(k)
                       : which < 0 ? curve.GetWeightInTangent(k)
                                   : curve.GetWeightOutTangent(k);
      return std::vector<float>(w, w + curve.GetWeightCount());
    }
    default: {
      const EngineCore::Vector3& v = which == 0  ? curve.GetVector3Key(k)
                                     : which < 0 ? curve.GetVector3InTangent(k)
                                                 : curve.GetVector3OutTangent(k);
      return {v.x, v.y, v.z};
    }
  }
}

// The clip as its file would hold it: channels in order, their tracks, and every key bit for
// bit, so that two descriptions are equal only when an undo came back exactly.
inline std::string DescribeKeys(const EngineCore::AnimClip& clip) {
  std::ostringstream out;
  out << std::hex;
  auto floats = [&out](const std::vector<float>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) out << (i ? "," : "") << std::bit_cast<std::uint32_t>(values[i]);
  };
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    out << channel.GetName().str() << "{";
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      out << " track " << channel.GetTrackTypeAt(t) << '/' << curve.GetInterpolation() << ":";
      for (const EngineCore::String& name : curve.GetWeightNames()) out << " target " << name.str();
      for (std::uint32_t k = 0; k < curve.GetKeyCount(); ++k) {
        out << ' ' << curve.GetKeyFrame(k) << '=';
        floats(KeyFloats(curve, k));
        if (!curve.IsCubic()) continue;
        out << " in ";
        floats(KeyFloats(curve, k, -1));
        out << " out ";
        floats(KeyFloats(curve, k, 1));
        // The tangent types as the editor shows them: recorded, or what the tangents say.
        const std::vector<float> in = KeyFloats(curve, k, -1);
        const std::vector<float> outSide = KeyFloats(curve, k, 1);
        const std::uint32_t width = curve.GetTangentTypeWidth();
        out << " types ";
        for (std::uint32_t part = 0; part < width; ++part) {
          const std::size_t at = static_cast<std::size_t>(k) * width + part;
          const bool apart = width == 1 ? in != outSide : in[part] != outSide[part];
          const auto implied = apart ? EngineCore::TangentType::Broken : EngineCore::TangentType::Free;
          out << static_cast<int>(at < curve.GetTangentTypes().size() ? curve.GetTangentTypes()[at] : implied);
        }
      }
    }
    out << " }\n";
  }
  return out.str();
}

// Whether two clips hold the same channels, tracks and keys, as a clip and its saved copy
// should: vector components within `tolerance`, a rotation possibly negated or normalised.
inline ::testing::AssertionResult SameKeys(const EngineCore::AnimClip& a, const EngineCore::AnimClip& b,
                                           float tolerance = 1e-5f) {
  auto differ = [](const auto& what) { return ::testing::AssertionFailure() << what; };
  if (a.GetChannelCount() != b.GetChannelCount()) return differ("channel count");
  for (std::uint32_t c = 0; c < a.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& ca = *a.GetChannelAt(c);
    const EngineCore::AnimChannel* cb = b.GetChannel(a.GetChannelKeyAt(c));
    if (!cb || cb->GetTrackCount() != ca.GetTrackCount()) return differ(ca.GetName().str());
    for (std::uint32_t t = 0; t < ca.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& ka = *ca.GetCurveAt(t);
      const EngineCore::AnimCurve* kb = cb->GetCurve(ca.GetTrackTypeAt(t));
      if (!kb || kb->GetKeyCount() != ka.GetKeyCount()) return differ(ca.GetName().str() + " track");
      for (std::uint32_t k = 0; k < ka.GetKeyCount(); ++k) {
        bool same = ka.GetKeyFrame(k) == kb->GetKeyFrame(k);
        if (ka.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion) {
          const EngineCore::Quaternion q = ka.GetQuaternionKey(k).Normalized();
          same = same && std::abs(std::abs(q.Dot(kb->GetQuaternionKey(k))) - 1.0f) <= 1e-5f;
        } else {
          const std::vector<float> va = KeyFloats(ka, k);
          const std::vector<float> vb = KeyFloats(*kb, k);
          same = same && va.size() == vb.size();
          for (std::size_t i = 0; same && i < va.size(); ++i) same = std::abs(va[i] - vb[i]) <= tolerance;
        }
        if (!same) return differ(ca.GetName().str() + " key " + std::to_string(k));
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace TestSupport
