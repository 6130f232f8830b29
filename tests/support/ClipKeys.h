#pragma once

#include <bit>
#include <cmath>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "EngineCore/AnimClip.h"

namespace TestSupport {

// The clip as its file would hold it: channels in order, their tracks, and every key bit for
// bit, so that two descriptions are equal only when an undo came back exactly.
inline std::string DescribeKeys(const EngineCore::AnimClip& clip) {
  std::ostringstream out;
  out << std::hex;
  auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    out << channel.GetName().str() << "{";
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      out << " track " << channel.GetTrackTypeAt(t) << '/' << curve.GetInterpolation() << ":";
      auto quaternion = [&](const EngineCore::Quaternion& q) {
        out << bits(q.x) << ',' << bits(q.y) << ',' << bits(q.z) << ',' << bits(q.w);
      };
      auto vector = [&](const EngineCore::Vector3& v) { out << bits(v.x) << ',' << bits(v.y) << ',' << bits(v.z); };
      for (std::uint32_t k = 0; k < curve.GetKeyCount(); ++k) {
        out << ' ' << curve.GetKeyFrame(k) << '=';
        const bool rotation = curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
        if (rotation) {
          quaternion(curve.GetQuaternionKey(k));
        } else {
          vector(curve.GetVector3Key(k));
        }
        if (!curve.IsCubic()) continue;
        out << " in ";
        rotation ? quaternion(curve.GetQuaternionInTangent(k)) : vector(curve.GetVector3InTangent(k));
        out << " out ";
        rotation ? quaternion(curve.GetQuaternionOutTangent(k)) : vector(curve.GetVector3OutTangent(k));
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
          for (int i = 0; i < 3; ++i)
            same = same && std::abs(ka.GetVector3Key(k)[i] - kb->GetVector3Key(k)[i]) <= tolerance;
        }
        if (!same) return differ(ca.GetName().str() + " key " + std::to_string(k));
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace TestSupport
