#include "EngineCore/AnimCurve.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "EngineCore/Math.h"

namespace EngineCore {

void AnimCurve::SetKeyType(std::uint32_t type) {
  keyType_ = type;
  Empty();
}

void AnimCurve::SetWeightCount(std::uint32_t count) {
  weightCount_ = count;
  Empty();
}

std::uint32_t AnimCurve::GetKeySize() const {
  switch (keyType_) {
    case KeyVector3: return sizeof(std::uint32_t) + sizeof(Vector3);
    case KeyQuaternion: return sizeof(std::uint32_t) + sizeof(Quaternion);
    case KeyFloat: return sizeof(std::uint32_t) + sizeof(float);
    case KeyWeights: return static_cast<std::uint32_t>(sizeof(std::uint32_t) + weightCount_ * sizeof(float));
    default: return 0;
  }
}

void AnimCurve::SetInterpolation(std::uint32_t interpolation) {
  interpolation_ = interpolation == Step || interpolation == Cubic ? interpolation : Linear;
  const bool cubic = interpolation_ == Cubic;
  inVectors_.assign(cubic ? vectors_.size() : 0, Vector3());
  outVectors_.assign(cubic ? vectors_.size() : 0, Vector3());
  inQuaternions_.assign(cubic ? quaternions_.size() : 0, Quaternion(0, 0, 0, 0));
  outQuaternions_.assign(cubic ? quaternions_.size() : 0, Quaternion(0, 0, 0, 0));
  inWeights_.assign(cubic ? weights_.size() : 0, 0.0f);
  outWeights_.assign(cubic ? weights_.size() : 0, 0.0f);
  tangentTypes_.clear();
}

std::uint32_t AnimCurve::GetTangentTypeWidth() const {
  switch (keyType_) {
    case KeyVector3: return 3;
    case KeyWeights: return weightCount_;
    default: return 1;
  }
}

bool AnimCurve::SetTangentTypes(std::vector<TangentType> types) {
  const bool fits =
      types.empty() || (IsCubic() && types.size() == static_cast<std::size_t>(GetKeyCount()) * GetTangentTypeWidth());
  tangentTypes_ = fits ? std::move(types) : std::vector<TangentType>();
  return fits;
}

void AnimCurve::Empty() {
  frames_.clear();
  vectors_.clear();
  quaternions_.clear();
  floats_.clear();
  inVectors_.clear();
  outVectors_.clear();
  inQuaternions_.clear();
  outQuaternions_.clear();
  weights_.clear();
  inWeights_.clear();
  outWeights_.clear();
  tangentTypes_.clear();
}

void AnimCurve::Reserve(std::uint32_t keyCount) {
  frames_.reserve(keyCount);
  const std::uint32_t tangents = IsCubic() ? keyCount : 0;
  if (keyType_ == KeyVector3) {
    vectors_.reserve(keyCount);
    inVectors_.reserve(tangents);
    outVectors_.reserve(tangents);
  }
  if (keyType_ == KeyQuaternion) {
    quaternions_.reserve(keyCount);
    inQuaternions_.reserve(tangents);
    outQuaternions_.reserve(tangents);
  }
  if (keyType_ == KeyFloat) floats_.reserve(keyCount);
  if (keyType_ == KeyWeights) {
    weights_.reserve(static_cast<std::size_t>(keyCount) * weightCount_);
    inWeights_.reserve(static_cast<std::size_t>(tangents) * weightCount_);
    outWeights_.reserve(static_cast<std::size_t>(tangents) * weightCount_);
  }
}

bool AnimCurve::AcceptsFrame(std::uint32_t frame) const { return frames_.empty() || frame > frames_.back(); }

bool AnimCurve::AddKey(std::uint32_t frame, const Vector3& value) {
  if (keyType_ != KeyVector3 || !AcceptsFrame(frame)) return false;
  tangentTypes_.clear();
  frames_.push_back(frame);
  vectors_.push_back(value);
  if (IsCubic()) {
    inVectors_.emplace_back();
    outVectors_.emplace_back();
  }
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, const Quaternion& value) {
  if (keyType_ != KeyQuaternion || !AcceptsFrame(frame)) return false;
  tangentTypes_.clear();
  frames_.push_back(frame);
  quaternions_.push_back(value);
  if (IsCubic()) {
    inQuaternions_.emplace_back(0, 0, 0, 0);
    outQuaternions_.emplace_back(0, 0, 0, 0);
  }
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, const Vector3& value, const Vector3& in, const Vector3& out) {
  if (!IsCubic() || !AddKey(frame, value)) return false;
  inVectors_.back() = in;
  outVectors_.back() = out;
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, const Quaternion& value, const Quaternion& in, const Quaternion& out) {
  if (!IsCubic() || !AddKey(frame, value)) return false;
  inQuaternions_.back() = in;
  outQuaternions_.back() = out;
  return true;
}

bool AnimCurve::AddKey(std::uint32_t frame, float value) {
  if (keyType_ != KeyFloat || !AcceptsFrame(frame)) return false;
  tangentTypes_.clear();
  frames_.push_back(frame);
  floats_.push_back(value);
  return true;
}

bool AnimCurve::AddWeightKey(std::uint32_t frame, const float* weights) {
  if (keyType_ != KeyWeights || !AcceptsFrame(frame)) return false;
  tangentTypes_.clear();
  frames_.push_back(frame);
  weights_.insert(weights_.end(), weights, weights + weightCount_);
  if (IsCubic()) {
    inWeights_.insert(inWeights_.end(), weightCount_, 0.0f);
    outWeights_.insert(outWeights_.end(), weightCount_, 0.0f);
  }
  return true;
}

bool AnimCurve::AddWeightKey(std::uint32_t frame, const float* weights, const float* in, const float* out) {
  if (!IsCubic() || !AddWeightKey(frame, weights)) return false;
  std::copy(in, in + weightCount_, inWeights_.end() - weightCount_);
  std::copy(out, out + weightCount_, outWeights_.end() - weightCount_);
  return true;
}

void AnimCurve::AlignRotations(const AnimCurve& reference) {
  const bool cubic = IsCubic() && inQuaternions_.size() == quaternions_.size();
  const std::vector<std::uint32_t>& known = reference.frames_;
  const bool referenceHolds = reference.keyType_ == KeyQuaternion && reference.quaternions_.size() == known.size();
  std::size_t at = 0;
  for (std::size_t i = 0; i < quaternions_.size(); ++i) {
    while (referenceHolds && at < known.size() && known[at] < frames_[i]) ++at;
    const Quaternion* toward = referenceHolds && at < known.size() && known[at] == frames_[i]
                                   ? &reference.quaternions_[at]
                               : i > 0 ? &quaternions_[i - 1]
                                       : nullptr;
    if (!toward || quaternions_[i].Dot(*toward) >= 0.0f) continue;
    quaternions_[i] = quaternions_[i].Negated();
    if (cubic) {
      inQuaternions_[i] = inQuaternions_[i].Negated();
      outQuaternions_[i] = outQuaternions_[i].Negated();
    }
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

bool AnimCurve::Evaluate(float frame, float framesPerSecond, Vector3& value) const {
  if (frames_.empty() || keyType_ != KeyVector3) return false;
  std::uint32_t i = 0;
  float t = 0.0f;
  Locate(frame, i, t);
  if (!(t > 0.0f)) {
    value = vectors_[i];
  } else if (IsCubic()) {
    const double interval = (static_cast<double>(frames_[i + 1]) - frames_[i]) / framesPerSecond;
    for (int c = 0; c < 3; ++c) {
      value[c] = static_cast<float>(Math::EvaluateHermite(vectors_[i][c], outVectors_[i][c], vectors_[i + 1][c],
                                                          inVectors_[i + 1][c], interval, t));
    }
  } else {
    value = Vector3::Lerp(vectors_[i], vectors_[i + 1], t);
  }
  return true;
}

bool AnimCurve::Evaluate(float frame, float framesPerSecond, std::vector<float>& weights) const {
  if (frames_.empty() || keyType_ != KeyWeights) return false;
  std::uint32_t i = 0;
  float t = 0.0f;
  Locate(frame, i, t);
  weights.assign(GetWeightKey(i), GetWeightKey(i) + weightCount_);
  if (!(t > 0.0f)) return true;
  const float* next = GetWeightKey(i + 1);
  const double interval = (static_cast<double>(frames_[i + 1]) - frames_[i]) / framesPerSecond;
  for (std::uint32_t w = 0; w < weightCount_; ++w) {
    weights[w] = IsCubic() ? static_cast<float>(Math::EvaluateHermite(weights[w], GetWeightOutTangent(i)[w], next[w],
                                                                      GetWeightInTangent(i + 1)[w], interval, t))
                           : weights[w] + (next[w] - weights[w]) * t;
  }
  return true;
}

bool AnimCurve::Evaluate(float frame, float framesPerSecond, Quaternion& value) const {
  if (frames_.empty() || keyType_ != KeyQuaternion) return false;
  std::uint32_t i = 0;
  float t = 0.0f;
  Locate(frame, i, t);
  if (!(t > 0.0f)) {
    value = quaternions_[i];
    return true;
  }
  if (!IsCubic()) {
    value = Quaternion::Slerp(quaternions_[i], quaternions_[i + 1], t);
    return true;
  }
  const double interval = (static_cast<double>(frames_[i + 1]) - frames_[i]) / framesPerSecond;
  const auto parts = [](const Quaternion& q) { return std::array<double, 4>{q.x, q.y, q.z, q.w}; };
  const auto v0 = parts(quaternions_[i]);
  const auto out0 = parts(outQuaternions_[i]);
  const auto v1 = parts(quaternions_[i + 1]);
  const auto in1 = parts(inQuaternions_[i + 1]);
  std::array<double, 4> q{};
  double squared = 0.0;
  for (int c = 0; c < 4; ++c) {
    q[c] = Math::EvaluateHermite(v0[c], out0[c], v1[c], in1[c], interval, t);
    squared += q[c] * q[c];
  }
  // A spline through zero has no direction there: the nearer key holds.
  if (!(squared > 0.0) || !std::isfinite(squared)) {
    value = t < 0.5f ? quaternions_[i] : quaternions_[i + 1];
    return true;
  }
  const double length = std::sqrt(squared);
  value = Quaternion(static_cast<float>(q[0] / length), static_cast<float>(q[1] / length),
                     static_cast<float>(q[2] / length), static_cast<float>(q[3] / length));
  return true;
}

}  // namespace EngineCore
