#include "curves/ChannelTracks.h"

#include "EngineCore/AnimCurve.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"

namespace Tarvel {

bool ChannelTracks::Add(EngineCore::AnimChannel& channel, std::uint32_t type) {
  if (!channel.AddTrack(type)) return false;
  channel.GetCurve(type)->SetKeyType(type == EngineCore::AnimTrack::Rotation ? EngineCore::AnimCurve::KeyQuaternion
                                                                             : EngineCore::AnimCurve::KeyVector3);
  return true;
}

bool ChannelTracks::Apply(EngineCore::AnimChannel& channel, const ChannelDesc& desc, bool removeUnwanted) {
  const bool wanted[3] = {desc.bTranslation, desc.bRotation, desc.bScale};
  bool done = true;
  for (std::uint32_t type = EngineCore::AnimTrack::Translation; type <= EngineCore::AnimTrack::Scale; ++type) {
    if (wanted[type - 1] && !channel.HasTrack(type)) {
      done = Add(channel, type) && done;
    } else if (removeUnwanted && !wanted[type - 1] && channel.HasTrack(type)) {
      done = channel.RemoveTrack(type) && done;
    }
  }
  if (!done) EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: channel %s refused a track", desc.name.c_str());
  return done;
}

}  // namespace Tarvel
