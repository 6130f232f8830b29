#include "EngineCore/AnimChannel.h"

#include <algorithm>

namespace EngineCore {

AnimCurve* AnimChannel::GetCurve(std::uint32_t type) const {
  for (const Track& track : tracks_) {
    if (track.type == type) return track.curve.get();
  }
  return nullptr;
}

bool AnimChannel::AddTrack(std::uint32_t type) {
  if (HasTrack(type)) return false;
  tracks_.push_back({type, std::make_unique<AnimCurve>()});
  return true;
}

bool AnimChannel::RemoveTrack(std::uint32_t type) {
  const auto it = std::find_if(tracks_.begin(), tracks_.end(), [type](const Track& t) { return t.type == type; });
  if (it == tracks_.end()) return false;
  tracks_.erase(it);
  return true;
}

}  // namespace EngineCore
