#pragma once

#include <cstdint>
#include <vector>

#include "EngineCore/Quaternion.h"
#include "EngineCore/String.h"
#include "EngineCore/TangentType.h"
#include "EngineCore/Vector3.h"

namespace EngineCore {

// The keys of one track: a frame (whole frames of its clip's frame rate) and a value per
// key, and how the track goes from key to key.
//
// Contract:
//   1. Keys are kept in stored order, which AddKey keeps strictly rising in frame: a key at
//      or before the last frame is refused (false).
//   2. A curve holds keys of its one key type; SetKeyType empties it. A curve without a key
//      type has key size 0 and refuses keys.
//   3. GetByteSize() / GetKeySize() == GetKeyCount() whenever the key size is not 0.
//   4. The interpolation is the track's, as glTF has one per sampler: Linear (spherical for
//      rotations), Step (each key holds until the next) or Cubic (glTF's cubic spline). Emptying
//      keeps it.
//   5. On a cubic curve every key has an in-tangent and an out-tangent of its value's type, in
//      value per second as the file stores them (a quaternion's are not of unit length); a key
//      added without tangents gets zero ones. Other curves hold no tangents: making a curve
//      cubic gives its keys zero tangents, making it anything else drops them.
//   6. A curve of weights (KeyWeights) holds the same number of weights in every key, one per
//      morph target of its mesh (SetWeightCount, which empties it); its tangents too.
//   7. A cubic curve may hold its keys' tangent types (TangentType): one per key and tangent
//      component (GetTangentTypeWidth), or none, when the tangents are as a file had them.
//      Adding a key, emptying the curve or setting its interpolation drops them.
class AnimCurve {
 public:
  enum KeyType : std::uint32_t { None = 0, KeyVector3 = 1, KeyQuaternion = 2, KeyFloat = 3, KeyWeights = 4 };
  enum Interpolation : std::uint32_t { Linear = 0, Step = 1, Cubic = 2 };

  // The last frame a clip file may hold a key on (about 4.6 hours at 60 frames per second):
  // files are refused beyond it, so edits stop at it.
  static constexpr std::uint32_t kMaxKeyFrame = 1'000'000;

  std::uint32_t GetKeyType() const { return keyType_; }
  void SetKeyType(std::uint32_t type);
  // Weights per key of a curve of weights (rule 6); 0 for any other curve.
  std::uint32_t GetWeightCount() const { return keyType_ == KeyWeights ? weightCount_ : 0; }
  void SetWeightCount(std::uint32_t count);
  // The names of the morph targets a curve of weights animates, one per weight.
  const std::vector<String>& GetWeightNames() const { return weightNames_; }
  void SetWeightNames(std::vector<String> names) { weightNames_ = std::move(names); }
  std::uint32_t GetInterpolation() const { return interpolation_; }
  // An unknown interpolation is taken as Linear.
  void SetInterpolation(std::uint32_t interpolation);
  bool IsCubic() const { return interpolation_ == Cubic; }

  // Bytes of one key: its frame and its value.
  std::uint32_t GetKeySize() const;
  std::uint32_t GetByteSize() const { return GetKeySize() * GetKeyCount(); }
  std::uint32_t GetKeyCount() const { return static_cast<std::uint32_t>(frames_.size()); }

  std::uint32_t GetKeyFrame(std::uint32_t index) const { return frames_[index]; }
  const Vector3& GetVector3Key(std::uint32_t index) const { return vectors_[index]; }
  const Quaternion& GetQuaternionKey(std::uint32_t index) const { return quaternions_[index]; }
  float GetFloatKey(std::uint32_t index) const { return floats_[index]; }
  // The weights of a key of a curve of weights, GetWeightCount() of them.
  const float* GetWeightKey(std::uint32_t index) const { return weights_.data() + index * weightCount_; }

  // The keys as stored, for copies in bulk: the frames, and the values of the key type.
  const std::vector<std::uint32_t>& GetFrames() const { return frames_; }
  const std::vector<Vector3>& GetVector3Keys() const { return vectors_; }
  const std::vector<Quaternion>& GetQuaternionKeys() const { return quaternions_; }
  const std::vector<float>& GetFloatKeys() const { return floats_; }

  // Tangents of a key of a cubic curve (rule 5).
  const Vector3& GetVector3InTangent(std::uint32_t index) const { return inVectors_[index]; }
  const Vector3& GetVector3OutTangent(std::uint32_t index) const { return outVectors_[index]; }
  const Quaternion& GetQuaternionInTangent(std::uint32_t index) const { return inQuaternions_[index]; }
  const Quaternion& GetQuaternionOutTangent(std::uint32_t index) const { return outQuaternions_[index]; }
  const float* GetWeightInTangent(std::uint32_t index) const { return inWeights_.data() + index * weightCount_; }
  const float* GetWeightOutTangent(std::uint32_t index) const { return outWeights_.data() + index * weightCount_; }

  // Tangent types per key (rule 7): three for a vector (one per axis), one for a rotation (its
  // quaternion has one tangent), one per weight.
  std::uint32_t GetTangentTypeWidth() const;
  const std::vector<TangentType>& GetTangentTypes() const { return tangentTypes_; }
  // False, and none are kept, unless the curve is cubic and types holds GetTangentTypeWidth()
  // for every key (or nothing).
  bool SetTangentTypes(std::vector<TangentType> types);

  void Empty();
  void Reserve(std::uint32_t keyCount);
  bool AddKey(std::uint32_t frame, const Vector3& value);
  bool AddKey(std::uint32_t frame, const Quaternion& value);
  bool AddKey(std::uint32_t frame, float value);
  // A key with its tangents; refused as AddKey refuses, and on a curve that is not cubic.
  bool AddKey(std::uint32_t frame, const Vector3& value, const Vector3& in, const Vector3& out);
  bool AddKey(std::uint32_t frame, const Quaternion& value, const Quaternion& in, const Quaternion& out);
  // A key of weights (GetWeightCount() of them), with its tangents on a cubic curve.
  bool AddWeightKey(std::uint32_t frame, const float* weights);
  bool AddWeightKey(std::uint32_t frame, const float* weights, const float* in, const float* out);

  // Gives each rotation key (with its tangents) the sign of the reference's key on its frame;
  // a key on a frame the reference has no key on takes the sign nearer its predecessor's.
  void AlignRotations(const AnimCurve& reference);

  // Value at a frame between keys, by the interpolation as glTF defines it: linear for vectors
  // and floats, spherical for rotations; the earlier key's for a step; for a cubic curve the
  // Hermite spline of the two keys' values and tangents scaled by their interval in seconds
  // (frames / framesPerSecond), a rotation normalised afterwards. The first and last keys hold
  // outside, so the first in-tangent and the last out-tangent are never used. False without
  // keys.
  bool Evaluate(float frame, float framesPerSecond, Vector3& value) const;
  bool Evaluate(float frame, float framesPerSecond, Quaternion& value) const;
  // The weights at a frame, GetWeightCount() of them; each blends as a vector's component.
  bool Evaluate(float frame, float framesPerSecond, std::vector<float>& weights) const;

 private:
  bool AcceptsFrame(std::uint32_t frame) const;
  // Index i with frame(i) <= f < frame(i + 1), and the blend towards i + 1.
  void Locate(float frame, std::uint32_t& index, float& blend) const;

  std::uint32_t keyType_ = None;
  std::uint32_t interpolation_ = Linear;
  std::vector<std::uint32_t> frames_;
  std::vector<Vector3> vectors_;
  std::vector<Quaternion> quaternions_;
  std::vector<float> floats_;
  std::vector<Vector3> inVectors_;
  std::vector<Vector3> outVectors_;
  std::vector<Quaternion> inQuaternions_;
  std::vector<Quaternion> outQuaternions_;
  std::uint32_t weightCount_ = 0;
  std::vector<String> weightNames_;
  std::vector<float> weights_;
  std::vector<float> inWeights_;
  std::vector<float> outWeights_;
  std::vector<TangentType> tangentTypes_;
};

}  // namespace EngineCore
