#include "EngineCore/AnimClip.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "EngineCore/Crc32.h"

namespace EngineCore {

std::uint32_t AnimClip::ComputeChannelKey(const String& name) {
  return Crc32::Compute(name.GetTextLength(), name.c_str());
}

AnimChannel* AnimClip::GetChannel(std::uint32_t key) const {
  const int index = FindChannelIndex(key);
  return index < 0 ? nullptr : channels_[static_cast<std::size_t>(index)].channel.get();
}

int AnimClip::FindChannelIndex(std::uint32_t key) const {
  const auto found = indexOfKey_.find(key);
  return found == indexOfKey_.end() ? -1 : static_cast<int>(found->second);
}

void AnimClip::IndexFrom(std::size_t position) {
  for (std::size_t i = position; i < channels_.size(); ++i)
    indexOfKey_[channels_[i].key] = static_cast<std::uint32_t>(i);
}

bool AnimClip::AddChannel(const String& name) { return InsertChannel(GetChannelCount(), name); }

bool AnimClip::InsertChannel(std::uint32_t index, const String& name) {
  if (name.IsEmpty()) return false;
  const std::uint32_t key = ComputeChannelKey(name);
  if (FindChannelIndex(key) >= 0) return false;
  const std::size_t position = std::min<std::size_t>(index, channels_.size());
  channels_.insert(channels_.begin() + static_cast<std::ptrdiff_t>(position),
                   {key, std::make_unique<AnimChannel>(name)});
  IndexFrom(position);
  return true;
}

bool AnimClip::RemoveChannel(std::uint32_t key) {
  const int index = FindChannelIndex(key);
  if (index < 0) return false;
  channels_.erase(channels_.begin() + index);
  indexOfKey_.erase(key);
  IndexFrom(static_cast<std::size_t>(index));
  return true;
}

bool AnimClip::ChangeChannelNameAt(std::uint32_t index, const String& name) {
  if (index >= channels_.size() || name.IsEmpty()) return false;
  const std::uint32_t key = ComputeChannelKey(name);
  const int owner = FindChannelIndex(key);
  if (owner >= 0 && static_cast<std::uint32_t>(owner) != index) return false;
  indexOfKey_.erase(channels_[index].key);
  indexOfKey_[key] = index;
  channels_[index].key = key;
  channels_[index].channel->name_ = name;
  return true;
}

void AnimClip::ComputeKeyFrameRange() {
  std::uint32_t first = std::numeric_limits<std::uint32_t>::max();
  std::uint32_t last = 0;
  bool any = false;
  for (const Entry& entry : channels_) {
    const AnimChannel& channel = *entry.channel;
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const AnimCurve* curve = channel.GetCurveAt(t);
      if (curve->GetKeyCount() == 0) continue;
      any = true;
      first = std::min(first, curve->GetKeyFrame(0));
      last = std::max(last, curve->GetKeyFrame(curve->GetKeyCount() - 1));
    }
  }
  firstKeyFrame_ = any ? first : 0;
  lastKeyFrame_ = any ? last : 0;
}

std::uint32_t AnimClip::CountKeys() const {
  std::uint32_t keys = 0;
  for (const Entry& entry : channels_) {
    for (std::uint32_t t = 0; t < entry.channel->GetTrackCount(); ++t) {
      keys += entry.channel->GetCurveAt(t)->GetKeyCount();
    }
  }
  return keys;
}

bool AnimClip::SetFrameRate(float framesPerSecond) {
  if (!(framesPerSecond > 0.0f) || !std::isfinite(framesPerSecond)) return false;
  frameRate_ = framesPerSecond;
  return true;
}

void AnimClip::TakeContentsOf(AnimClip& other) {
  frameRate_ = other.frameRate_;
  readingNote_ = other.readingNote_;
  channels_ = std::move(other.channels_);
  indexOfKey_ = std::move(other.indexOfKey_);
  other.channels_.clear();
  other.indexOfKey_.clear();
  firstKeyFrame_ = other.firstKeyFrame_;
  lastKeyFrame_ = other.lastKeyFrame_;
}

}  // namespace EngineCore
