#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "curves/CurveSet.h"

namespace Tarvel {

// Turns a channel's editable curves back into the clip's key curves, key for key: a curve's
// point is a key of the clip, nothing is resampled and nothing dropped.
//
// The three curves X, Y, Z of a track share their keys' frames in the clip: the track gets a
// key on every frame where one of them has a point (its x truncated), each component taking
// its own point's value there or, without one, its curve's value, so that what it plays does
// not change. Rotation angles go back from degrees to quaternions, continuous from key to key
// and with the sign the track's first key had when it still has a key on that frame. The track keeps
// its interpolation; a cubic track's keys take their points' tangents.
class ClipWriteBack {
 public:
  // Rewrites every track of the channel that has a triple and sets the clip's modified flag.
  // False, and nothing changes (not even the flag), when the set has no entry for the key.
  static bool WriteBackChannel(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey);
  // The same for every channel in keys; the modified flag is set once. How many were written.
  static std::size_t WriteBackChannels(EngineCore::AnimClip& clip, const CurveSet& curves,
                                       const std::vector<std::uint32_t>& keys);

  // Recomputes the clip's key-frame range; true when both its first and its last frame
  // changed (the other modules are then told).
  static bool UpdateKeyFrameRange(EngineCore::AnimClip& clip);

  // The frame of the clip a point at x is keyed on: x truncated, never before frame 0.
  static std::uint32_t KeyFrameOf(float x) { return static_cast<std::uint32_t>(std::max(x, 0.0f)); }

 private:
  // A channel's tracks rewritten, without the modified flag.
  static bool WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey);
};

}  // namespace Tarvel
