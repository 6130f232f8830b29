#pragma once

#include <initializer_list>
#include <utility>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Quaternion.h"

// Builds small clips key by key for the curve model's tests.
class ClipBuilder {
 public:
  ClipBuilder() : clip_(new EngineCore::AnimClip("Test")) {}
  ~ClipBuilder() { clip_->Release(); }
  ClipBuilder(const ClipBuilder&) = delete;
  ClipBuilder& operator=(const ClipBuilder&) = delete;

  EngineCore::AnimClip& Clip() { return *clip_; }

  EngineCore::AnimChannel& Channel(const char* name) {
    const std::uint32_t key = EngineCore::AnimClip::ComputeChannelKey(name);
    if (!clip_->GetChannel(key)) clip_->AddChannel(name);
    return *clip_->GetChannel(key);
  }
  static std::uint32_t Key(const char* name) { return EngineCore::AnimClip::ComputeChannelKey(name); }

  EngineCore::AnimCurve& Track(const char* channel, std::uint32_t type, std::uint32_t keyType) {
    EngineCore::AnimChannel& c = Channel(channel);
    if (!c.HasTrack(type)) {
      c.AddTrack(type);
      c.GetCurve(type)->SetKeyType(keyType);
    }
    return *c.GetCurve(type);
  }

  // Vector keys (frame, x, y, z).
  void Vectors(const char* channel, std::uint32_t type,
               std::initializer_list<std::pair<std::uint32_t, EngineCore::Vector3>> keys) {
    EngineCore::AnimCurve& curve = Track(channel, type, EngineCore::AnimCurve::KeyVector3);
    for (const auto& [frame, value] : keys) curve.AddKey(frame, value);
  }

  // Rotation keys from Euler angles in degrees.
  void Rotations(const char* channel, std::initializer_list<std::pair<std::uint32_t, EngineCore::Vector3>> keys) {
    EngineCore::AnimCurve& curve =
        Track(channel, EngineCore::AnimTrack::Rotation, EngineCore::AnimCurve::KeyQuaternion);
    constexpr float kRad = 0.017453292519943295f;
    for (const auto& [frame, degrees] : keys) {
      curve.AddKey(frame, EngineCore::Quaternion::FromAngles(degrees.x * kRad, degrees.y * kRad, degrees.z * kRad));
    }
  }

 private:
  EngineCore::AnimClip* clip_;
};
