#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Quaternion.h"

// Builds small clips key by key, or adds channels, tracks and keys to a clip opened from a
// file, as an edit would.
class ClipBuilder {
 public:
  explicit ClipBuilder(const char* name = "Test") : clip_(new EngineCore::AnimClip(name)) {}
  explicit ClipBuilder(EngineCore::AnimClip& clip) : clip_(&clip) { clip_->AddRef(); }
  ~ClipBuilder() { clip_->Release(); }
  ClipBuilder(const ClipBuilder&) = delete;
  ClipBuilder& operator=(const ClipBuilder&) = delete;

  EngineCore::AnimClip& Clip() { return *clip_; }

  EngineCore::AnimChannel& Channel(const char* name) {
    if (!clip_->GetChannel(Key(name))) clip_->AddChannel(name);
    if (!clip_->GetChannel(Key(name))) throw std::logic_error(std::string("no channel ") + name);
    return *clip_->GetChannel(Key(name));
  }
  static std::uint32_t Key(const char* name) { return EngineCore::AnimClip::ComputeChannelKey(name); }

  // The track of that type, made on first use with keys of that type (quaternions for
  // rotations, vectors otherwise, unless the test says).
  EngineCore::AnimCurve& Track(const char* channel, std::uint32_t type, std::uint32_t keyType = ~0u) {
    EngineCore::AnimChannel& c = Channel(channel);
    if (!c.HasTrack(type)) {
      c.AddTrack(type);
      if (keyType == ~0u) {
        keyType = type == EngineCore::AnimTrack::Rotation ? EngineCore::AnimCurve::KeyQuaternion
                                                          : EngineCore::AnimCurve::KeyVector3;
      }
      c.GetCurve(type)->SetKeyType(keyType);
    }
    return *c.GetCurve(type);
  }

  // Vector keys (frame, x, y, z).
  ClipBuilder& Vectors(const char* channel, std::uint32_t type,
                       std::initializer_list<std::pair<std::uint32_t, EngineCore::Vector3>> keys) {
    EngineCore::AnimCurve& curve = Track(channel, type);
    for (const auto& [frame, value] : keys) {
      if (!curve.AddKey(frame, value)) throw std::logic_error("key refused");
    }
    return *this;
  }

  // Rotation keys from Euler angles in degrees.
  ClipBuilder& Rotations(const char* channel,
                         std::initializer_list<std::pair<std::uint32_t, EngineCore::Vector3>> keys) {
    EngineCore::AnimCurve& curve = Track(channel, EngineCore::AnimTrack::Rotation);
    constexpr float kRad = 0.017453292519943295f;
    for (const auto& [frame, degrees] : keys) {
      curve.AddKey(frame, EngineCore::Quaternion::FromAngles(degrees.x * kRad, degrees.y * kRad, degrees.z * kRad));
    }
    return *this;
  }

 private:
  EngineCore::AnimClip* clip_;
};
