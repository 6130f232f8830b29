#include "EngineCore/AnimController.h"

#include <algorithm>
#include <cmath>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/SceneObject.h"

namespace EngineCore {

AnimController::~AnimController() {
  for (ClipEntry& entry : clips_) entry.clip->Release();
}

std::uint32_t AnimController::AddClip(AnimClip* clip) {
  std::uint32_t key = 0;
  if (FindClip(clip, key)) return key;
  key = Crc32::Compute(clip->GetName().GetTextLength(), clip->GetName().c_str());
  clip->AddRef();
  clips_.push_back({key, clip});
  return key;
}

bool AnimController::FindClip(const AnimClip* clip, std::uint32_t& key) const {
  for (const ClipEntry& entry : clips_) {
    if (entry.clip == clip) {
      key = entry.key;
      return true;
    }
  }
  return false;
}

bool AnimController::RemoveClip(const AnimClip* clip) {
  const auto entry =
      std::find_if(clips_.begin(), clips_.end(), [clip](const ClipEntry& held) { return held.clip == clip; });
  if (entry == clips_.end()) return false;
  if (played_ == clip) played_ = nullptr;
  entry->clip->Release();
  clips_.erase(entry);
  return true;
}

void AnimController::Reinit() {
  played_ = nullptr;
  begin_ = 0;
  end_ = 0;
  level_ = 1.0f;
  speed_ = 0.0f;
  mode_ = 0;
  frame_ = 0.0f;
}

void AnimController::ChangeClip(std::uint32_t layer, std::uint32_t clipKey) {
  if (layer != 0) return;
  played_ = nullptr;
  for (const ClipEntry& entry : clips_) {
    if (entry.key == clipKey) played_ = entry.clip;
  }
  if (played_) {
    begin_ = played_->GetFirstKeyFrame();
    end_ = played_->GetLastKeyFrame();
  }
}

void AnimController::ChangePlaybackKeyFrameBegin(std::uint32_t layer, std::uint32_t frame) {
  if (layer == 0) begin_ = frame;
}

void AnimController::ChangePlaybackKeyFrameEnd(std::uint32_t layer, std::uint32_t frame) {
  if (layer == 0) end_ = frame;
}

void AnimController::ChangePlaybackLevel(std::uint32_t layer, float level) {
  if (layer == 0) level_ = level;
}

void AnimController::ChangePlaybackSpeed(std::uint32_t layer, float speed) {
  if (layer == 0) speed_ = speed;
}

void AnimController::ChangePlaybackMode(std::uint32_t layer, std::uint32_t mode) {
  if (layer == 0 && mode <= 3) mode_ = mode;
}

void AnimController::SetPlaybackFrame(std::uint32_t layer, float frame) {
  if (layer == 0) frame_ = frame;
}

void AnimController::RunOneFrame(float seconds) {
  if (!played_) return;
  Advance(seconds);
  Pose();
}

void AnimController::Advance(float seconds) {
  const float begin = static_cast<float>(begin_);
  const float end = static_cast<float>(end_);
  const float span = end - begin;
  const float step = std::abs(speed_) * seconds;
  const bool backwards = mode_ == 1 || mode_ == 3;
  const bool looping = mode_ >= 2;
  frame_ += backwards ? -step : step;
  if (!looping || span <= 0.0f) {
    if (frame_ > end) frame_ = end;
    if (frame_ < begin) frame_ = begin;
    return;
  }
  if (frame_ > end) frame_ = begin + std::fmod(frame_ - begin, span);
  if (frame_ < begin) frame_ = end - std::fmod(begin - frame_, span);
}

void AnimController::Pose() const {
  if (!object_) return;
  const AnimChannel* channel = played_->GetChannel(channelKey_);
  if (!channel) return;
  if (const AnimCurve* curve = channel->GetCurve(AnimTrack::Translation)) {
    Vector3 value;
    if (curve->Evaluate(frame_, played_->GetFrameRate(), value)) object_->SetLocalTranslation(value);
  }
  if (const AnimCurve* curve = channel->GetCurve(AnimTrack::Rotation)) {
    Quaternion value;
    if (curve->Evaluate(frame_, played_->GetFrameRate(), value)) object_->SetLocalRotation(value);
  }
  if (const AnimCurve* curve = channel->GetCurve(AnimTrack::Scale)) {
    Vector3 value;
    if (curve->Evaluate(frame_, played_->GetFrameRate(), value)) object_->SetLocalScale(value);
  }
  if (const AnimCurve* curve = channel->GetCurve(AnimTrack::Weights)) {
    std::vector<float> weights;
    if (curve->Evaluate(frame_, played_->GetFrameRate(), weights)) object_->SetMorphWeights(std::move(weights));
  }
}

}  // namespace EngineCore
