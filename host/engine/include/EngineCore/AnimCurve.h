#pragma once

#include <cstdint>
#include <vector>

#include "EngineCore/Quaternion.h"
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
//      rotations) or Step (each key holds until the next). Emptying keeps it.
class AnimCurve {
 public:
  enum KeyType : std::uint32_t { None = 0, KeyVector3 = 1, KeyQuaternion = 2, KeyFloat = 3 };
  enum Interpolation : std::uint32_t { Linear = 0, Step = 1 };

  // The last frame a clip file may hold a key on (about 4.6 hours at 60 frames per second):
  // files are refused beyond it, so edits stop at it.
  static constexpr std::uint32_t kMaxKeyFrame = 1'000'000;

  std::uint32_t GetKeyType() const { return keyType_; }
  void SetKeyType(std::uint32_t type);
  std::uint32_t GetInterpolation() const { return interpolation_; }
  void SetInterpolation(std::uint32_t interpolation) { interpolation_ = interpolation == Step ? Step : Linear; }

  // Bytes of one key: its frame and its value.
  std::uint32_t GetKeySize() const;
  std::uint32_t GetByteSize() const { return GetKeySize() * GetKeyCount(); }
  std::uint32_t GetKeyCount() const { return static_cast<std::uint32_t>(frames_.size()); }

  std::uint32_t GetKeyFrame(std::uint32_t index) const { return frames_[index]; }
  const Vector3& GetVector3Key(std::uint32_t index) const { return vectors_[index]; }
  const Quaternion& GetQuaternionKey(std::uint32_t index) const { return quaternions_[index]; }
  float GetFloatKey(std::uint32_t index) const { return floats_[index]; }

  // The keys as stored, for copies in bulk: the frames, and the values of the key type.
  const std::vector<std::uint32_t>& GetFrames() const { return frames_; }
  const std::vector<Vector3>& GetVector3Keys() const { return vectors_; }
  const std::vector<Quaternion>& GetQuaternionKeys() const { return quaternions_; }
  const std::vector<float>& GetFloatKeys() const { return floats_; }

  void Empty();
  void Reserve(std::uint32_t keyCount);
  bool AddKey(std::uint32_t frame, const Vector3& value);
  bool AddKey(std::uint32_t frame, const Quaternion& value);
  bool AddKey(std::uint32_t frame, float value);

  // Flips the sign of every rotation key that points away from its predecessor, so that
  // interpolation takes the shorter way between neighbours.
  void MakeRotationsContinuous();

  // Value at a frame between keys, by the interpolation: linear for vectors and floats,
  // spherical for rotations, or the earlier key's; the first and last keys hold outside.
  // False without keys.
  bool Evaluate(float frame, Vector3& value) const;
  bool Evaluate(float frame, Quaternion& value) const;

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
};

}  // namespace EngineCore
