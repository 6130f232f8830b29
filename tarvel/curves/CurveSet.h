#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "EditorCore/Color.h"
#include "EngineCore/AnimChannel.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// The editable curves of one open clip: channel key -> that channel's curves, three per
// loaded track (X, Y, Z in this order), tracks in the order of the channel's track table,
// then one per morph target of its weights track, named after the target.
//
// Loading a channel (LoadChannel):
//   1. Only Vector3 and Quaternion tracks give curves; a keyless track gives empty curves.
//   2. A curve's points are its track's keys, no more: x is the key frame, y the component
//      value; rotations become Euler angles in degrees, made continuous key to key by
//      EulerAngles::Nearest. The curves take the track's interpolation and the set's frame
//      rate; a cubic track's points take its keys' tangents (see RotationTangents for a
//      rotation's).
// The set owns its records; keys are kept in ascending order. Everything else holds plain
// pointers to them, which RemoveChannel, LoadChannel of the same key and Clear end.
class CurveSet {
 public:
  using Curves = std::vector<std::unique_ptr<CurveInfo>>;

  CurveSet() = default;
  CurveSet(const CurveSet&) = delete;
  CurveSet& operator=(const CurveSet&) = delete;

  // (Re)creates the channel's curves and returns its array.
  const Curves& LoadChannel(std::uint32_t channelKey, const EngineCore::AnimChannel& channel);
  // The same for channels[i] under keys[i], every one: the curves are those LoadChannel
  // builds one channel at a time.
  void LoadChannels(const std::vector<std::uint32_t>& keys,
                    const std::vector<const EngineCore::AnimChannel*>& channels);
  // The channel's array, or null when the key is not in the set.
  const Curves* GetChannelCurves(std::uint32_t channelKey) const;
  // Destroys the channel's records and forgets the key.
  void RemoveChannel(std::uint32_t channelKey);
  void Clear();

  const std::map<std::uint32_t, Curves>& GetTable() const { return table_; }
  // The clip's frame rate, which cubic curves need (60 until set): every curve takes it.
  void SetFrameRate(float framesPerSecond);
  float GetFrameRate() const { return frameRate_; }
  std::size_t GetCurveCount() const;

  // Curve and selection colours of a component of a track kind, as COLORREF values:
  // X reddish, Y greenish, Z bluish, brighter as the track type rises.
  static void ComputeColors(std::uint32_t trackType, std::uint32_t keyType, std::uint32_t component,
                            EditorCore::COLORREF& colour, EditorCore::COLORREF& selectionColour);

 private:
  // The channel's curves, built from nothing but the channel.
  Curves BuildCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) const;
  void BuildWeightCurves(std::uint32_t channelKey, const EngineCore::AnimCurve& track, Curves& curves) const;

  std::map<std::uint32_t, Curves> table_;
  float frameRate_ = 60.0f;
};

}  // namespace Tarvel
