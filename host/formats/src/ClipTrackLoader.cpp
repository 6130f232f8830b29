#include "ClipTrackLoader.h"

#include <algorithm>

#include "EngineCore/AnimTrack.h"
#include "Formats/ClipFileLimits.h"

namespace Formats {

using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;

void ClipTrackLoader::SetFrameRate(double rate) {
  rate_ = rate;
  clip_.SetFrameRate(static_cast<float>(rate));
}

void ClipTrackLoader::ChooseFrameRate(const std::vector<const std::vector<float>*>& times, double saved) {
  const bool savedFits = saved > 0.0 && std::all_of(times.begin(), times.end(), [saved](const std::vector<float>* t) {
                           return TrackSampler::OnDistinctWholeFrames(*t, saved);
                         });
  const double rate = savedFits ? saved : TrackSampler::ChooseFrameRate(times);
  rateFits_ = rate > 0.0;
  SetFrameRate(rateFits_ ? rate : TrackSampler::kDefaultFrameRate);
}

std::string ClipTrackLoader::SamplingNote() const {
  std::string note;
  if (sampledOffRate_) {
    note =
        "its key times fit no frame rate of 24, 25, 30, 48, 50, 60, 96, 100, 120 or 240 frames per second, so "
        "its keys were sampled at every frame at 60";
  }
  return note;
}

ClipFileError ClipTrackLoader::Add(const std::string& channel, std::uint32_t trackType, const std::vector<float>& times,
                                   const std::vector<float>& values, TrackSampler::Interpolation interpolation,
                                   std::string& message, std::uint32_t weights) {
  const bool rotation = trackType == AnimTrack::Rotation;
  const bool morph = trackType == AnimTrack::Weights;
  const int components = rotation ? 4 : morph ? static_cast<int>(weights) : 3;
  if (components <= 0) {
    message = "'" + channel + "' has morph-target weights but no target";
    return ClipFileError::BadAccessor;
  }
  std::uint64_t count = countedKeys_;
  bool toSample = countedSampled_;
  ClipFileError error = ClipFileError::None;
  if (rate_ != countedRate_ || times != countedTimes_) {
    error = TrackSampler::CountKeys(times, rate_, count, message, &toSample);
    if (error != ClipFileError::None) return error;
    countedTimes_ = times;
    countedRate_ = rate_;
    countedKeys_ = count;
    countedSampled_ = toSample;
  }
  // A key of many weights takes the room of that many vectors' keys.
  count *= morph ? (static_cast<std::uint64_t>(components) + 2) / 3 : 1;
  if (totalKeys_ + count > ClipFileLimits::kMaxClipKeys) {
    message = "the clip would hold more than " + std::to_string(ClipFileLimits::kMaxClipKeys) + " keys";
    return ClipFileError::TooLarge;
  }
  bool trackSampled = false;
  error = TrackSampler::ToFrames(times, values, components, interpolation, rotation, rate_, keys_, trackSampled,
                                 message, &toSample);
  if (error != ClipFileError::None) return error;
  totalKeys_ += count;
  if (trackSampled) sampledOffRate_ = true;

  const EngineCore::String channelName(channel);
  EngineCore::AnimChannel* target = clip_.GetChannel(AnimClip::ComputeChannelKey(channelName));
  if (!target) {
    if (!clip_.AddChannel(channelName)) {
      message = "'" + channel + "' cannot name a channel";
      return ClipFileError::NotGltf;
    }
    target = clip_.GetChannel(AnimClip::ComputeChannelKey(channelName));
  }
  if (!target->AddTrack(trackType)) {
    message = "'" + channel + "' has two tracks of one kind";
    return ClipFileError::NotGltf;
  }
  AnimCurve* curve = target->GetCurve(trackType);
  curve->SetKeyType(rotation ? AnimCurve::KeyQuaternion : morph ? AnimCurve::KeyWeights : AnimCurve::KeyVector3);
  if (morph) curve->SetWeightCount(weights);
  // A step stays a step, sampled or not; a sampled cubic track is linear between its samples.
  const bool cubic = !keys_.tangents.empty();
  curve->SetInterpolation(cubic                                                ? AnimCurve::Cubic
                          : interpolation == TrackSampler::Interpolation::Step ? AnimCurve::Step
                                                                               : AnimCurve::Linear);
  curve->Reserve(static_cast<std::uint32_t>(keys_.frames.size()));
  for (std::size_t k = 0; k < keys_.frames.size(); ++k) {
    const float* v = keys_.values.data() + k * components;
    const float* in = cubic ? keys_.tangents.data() + k * 2 * components : nullptr;
    const float* out = cubic ? in + components : nullptr;
    bool added = false;
    if (morph) {
      added = cubic ? curve->AddWeightKey(keys_.frames[k], v, in, out) : curve->AddWeightKey(keys_.frames[k], v);
    } else if (rotation) {
      const EngineCore::Quaternion value(v[0], v[1], v[2], v[3]);
      added = cubic ? curve->AddKey(keys_.frames[k], value, EngineCore::Quaternion(in[0], in[1], in[2], in[3]),
                                    EngineCore::Quaternion(out[0], out[1], out[2], out[3]))
                    : curve->AddKey(keys_.frames[k], value);
    } else {
      const EngineCore::Vector3 value(v[0], v[1], v[2]);
      added = cubic ? curve->AddKey(keys_.frames[k], value, EngineCore::Vector3(in[0], in[1], in[2]),
                                    EngineCore::Vector3(out[0], out[1], out[2]))
                    : curve->AddKey(keys_.frames[k], value);
    }
    if (!added) {
      message = "key " + std::to_string(k) + " of '" + channel + "' is not after the one before it";
      return ClipFileError::BadTimes;
    }
  }
  return ClipFileError::None;
}

}  // namespace Formats
