#include "curves/ChannelData.h"

#include "EngineCore/Log.h"

namespace Tarvel {

ChannelData ChannelData::Capture(const EngineCore::AnimChannel& channel) {
  ChannelData data;
  data.name = channel.GetName();
  data.sourceIndex = channel.GetSourceIndex();
  for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
    data.tracks.push_back({channel.GetTrackTypeAt(t), *channel.GetCurveAt(t)});
  }
  return data;
}

void ChannelData::RestoreTracks(EngineCore::AnimChannel& channel) const {
  channel.SetSourceIndex(sourceIndex);
  while (channel.GetTrackCount() > 0) {
    if (!channel.RemoveTrack(channel.GetTrackTypeAt(0))) break;
  }
  for (const Track& track : tracks) {
    if (!channel.AddTrack(track.type)) {
      EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: track %u of %s could not be put back", track.type,
                             name.c_str());
      continue;
    }
    *channel.GetCurve(track.type) = track.curve;
  }
}

std::size_t ChannelData::GetHeldBytes() const {
  std::size_t bytes = sizeof(ChannelData);
  for (const Track& track : tracks) bytes += sizeof(Track) + CurveBytes(track.curve);
  return bytes;
}

std::size_t ChannelData::CurveBytes(const EngineCore::AnimCurve& curve) {
  // Values and frames, and the tangents of a cubic track (two more values per key).
  return static_cast<std::size_t>(curve.GetByteSize()) * (curve.IsCubic() ? 3 : 1);
}

}  // namespace Tarvel
