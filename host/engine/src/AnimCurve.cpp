#include "EngineCore/AnimCurve.h"

#include <algorithm>

namespace EngineCore {

void AnimCurve::SetKeyType(std::uint32_t type) {
  keyType_ = type;
  Empty();
}

std::uint32_t AnimCurve::GetKeySize() const {
  switch (keyType_) {
    case KeyVector3: return sizeof(std::uint32_t) + sizeof(Vector3);
    case KeyQuaternion: return sizeof(std::uint32_t) + sizeof(Quaternion);
    case KeyFloat: return sizeof(std::uint32_t) + sizeof(float);
    default: return 0;
  }
}

void AnimCurve::Empty() {
  frames_.clear();
  vectors_.clear();
  quaternions_.clear();
  floats_.clear();
}

void AnimCurve::Reserve(std::uint32_t keyCount) {
  frames_.reserve(keyCount);
  if (keyType_ == KeyVector3) vectors_.reserve(keyCount);
  if (keyType_ == KeyQuaternion) quaternions_.reserve(keyCount);
  if (keyType_ == KeyFloat) floats_.reserve(keyCount);
}

bool AnimCurve::AcceptsFrame(std::uint32_t frame) const { return frames_.empty() || frame > frames_.back(); }

bool AnimCurve::AddKey(std::uint32_t frame, const Vector3& value) {
  if (keyType_ != KeyVector3 || !AcceptsFrame(frame)) return false;
  frames_.push_back(frame);
  vectors_.push_back(value);
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, const Quaternion& value) {
  if (keyType_ != KeyQuaternion || !AcceptsFrame(frame)) return false;
  frames_.push_back(frame);
  quaternions_.push_back(value);
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, float value) {
  if (keyType_ != KeyFloat || !AcceptsFrame(frame)) return false;
  frames_.push_back(frame);
  floats_.push_back(value);
  return true;
}

void AnimCurve::MakeRotationsContinuous() {
  for (std::size_t i = 1; i < quaternions_.size(); ++i) {
    if (quaternions_[i].Dot(quaternions_[i - 1]) < 0.0f) quaternions_[i] = quaternions_[i].Negated();
  }
}

void AnimCurve::Locate(float frame, std::uint32_t& index, float& blend) const {
  const auto count = static_cast<std::uint32_t>(frames_.size());
  if (frame <= static_cast<float>(frames_.front())) {
    index = 0;
    blend = 0.0f;
    return;
  }
  if (frame >= static_cast<float>(frames_.back())) {
    index = count - 1;
    blend = 0.0f;
    return;
  }
  const auto after = std::upper_bound(frames_.begin(), frames_.end(), frame,
                                      [](float f, std::uint32_t k) { return f < static_cast<float>(k); });
  index = static_cast<std::uint32_t>(after - frames_.begin()) - 1;
  const float f0 = static_cast<float>(frames_[index]);
  const float f1 = static_cast<float>(frames_[index + 1]);
  blend = interpolation_ == Step ? 0.0f : (frame - f0) / (f1 - f0);
}

bool AnimCurve::Evaluate(float frame, Vector3& value) const {
  if (frames_.empty() || keyType_ != KeyVector3) return false;
  std::uint32_t i = 0;
  float t = 0.0f;
  Locate(frame, i, t);
  value = t > 0.0f ? Vector3::Lerp(vectors_[i], vectors_[i + 1], t) : vectors_[i];
  return true;
}

bool AnimCurve::Evaluate(float frame, Quaternion& value) const {
  if (frames_.empty() || keyType_ != KeyQuaternion) return false;
  std::uint32_t i = 0;
  float t = 0.0f;
  Locate(frame, i, t);
  value = t > 0.0f ? Quaternion::Slerp(quaternions_[i], quaternions_[i + 1], t) : quaternions_[i];
  return true;
}

}  // namespace EngineCore
