#include "curves/ChannelData.h"

#include "EngineCore/AnimCurve.h"
#include "EngineCore/Log.h"

namespace Tarvel {

using EngineCore::AnimCurve;

ChannelData ChannelData::Capture(const EngineCore::AnimChannel& channel) {
  ChannelData data;
  data.name = channel.GetName();
  for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
    const AnimCurve& curve = *channel.GetCurveAt(t);
    Track track;
    track.type = channel.GetTrackTypeAt(t);
    track.keyType = curve.GetKeyType();
    track.interpolation = curve.GetInterpolation();
    for (std::uint32_t k = 0; k < curve.GetKeyCount(); ++k) {
      track.frames.push_back(curve.GetKeyFrame(k));
      switch (track.keyType) {
        case AnimCurve::KeyVector3:
          track.vectors.push_back(curve.GetVector3Key(k));
          if (curve.IsCubic())
            track.vectorTangents.insert(track.vectorTangents.end(),
                                        {curve.GetVector3InTangent(k), curve.GetVector3OutTangent(k)});
          break;
        case AnimCurve::KeyQuaternion:
          track.quaternions.push_back(curve.GetQuaternionKey(k));
          if (curve.IsCubic()) {
            track.quaternionTangents.insert(track.quaternionTangents.end(),
                                            {curve.GetQuaternionInTangent(k), curve.GetQuaternionOutTangent(k)});
          }
          break;
        default: track.floats.push_back(curve.GetFloatKey(k)); break;
      }
    }
    data.tracks.push_back(std::move(track));
  }
  return data;
}

void ChannelData::RestoreTracks(EngineCore::AnimChannel& channel) const {
  while (channel.GetTrackCount() > 0) {
    if (!channel.RemoveTrack(channel.GetTrackTypeAt(0))) break;
  }
  for (const Track& track : tracks) {
    if (!channel.AddTrack(track.type)) {
      EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: track %u of %s could not be put back", track.type,
                             name.c_str());
      continue;
    }
    AnimCurve& curve = *channel.GetCurve(track.type);
    curve.SetKeyType(track.keyType);
    curve.SetInterpolation(track.interpolation);
    curve.Reserve(static_cast<std::uint32_t>(track.frames.size()));
    for (std::size_t k = 0; k < track.frames.size(); ++k) {
      const std::uint32_t frame = track.frames[k];
      switch (track.keyType) {
        case AnimCurve::KeyVector3:
          if (track.vectorTangents.empty()) {
            curve.AddKey(frame, track.vectors[k]);
          } else {
            curve.AddKey(frame, track.vectors[k], track.vectorTangents[2 * k], track.vectorTangents[2 * k + 1]);
          }
          break;
        case AnimCurve::KeyQuaternion:
          if (track.quaternionTangents.empty()) {
            curve.AddKey(frame, track.quaternions[k]);
          } else {
            curve.AddKey(frame, track.quaternions[k], track.quaternionTangents[2 * k],
                         track.quaternionTangents[2 * k + 1]);
          }
          break;
        default: curve.AddKey(frame, track.floats[k]); break;
      }
    }
  }
}

std::size_t ChannelData::GetHeldBytes() const {
  std::size_t bytes = sizeof(ChannelData);
  for (const Track& track : tracks) {
    bytes += track.frames.size() * 4 + track.vectors.size() * sizeof(EngineCore::Vector3) +
             track.quaternions.size() * sizeof(EngineCore::Quaternion) + track.floats.size() * 4 +
             track.vectorTangents.size() * sizeof(EngineCore::Vector3) +
             track.quaternionTangents.size() * sizeof(EngineCore::Quaternion);
  }
  return bytes;
}

}  // namespace Tarvel
