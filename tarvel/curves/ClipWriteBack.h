#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
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
// not change. Rotation angles go back from degrees to quaternions, each key with the sign of
// the reference's key on its frame (the rotation keys the channel had at its first write-back,
// so that a key not edited comes back in its own bits whatever the history went through),
// else continuous with the key before; without references at all, the track's own keys
// before the write-back are the reference.
// The track keeps its interpolation; a cubic track's keys take their points' tangents. A
// weights track gets a key wherever one of its targets' curves has a point.
class ClipWriteBack {
 public:
  // The rotation keys whose signs each channel's rotation keys take, by channel key.
  using References = std::map<std::uint32_t, EngineCore::AnimCurve>;

  // Rewrites every track of the channel that has a triple and sets the clip's modified flag.
  // False, and nothing changes (not even the flag), when the set has no entry for the key.
  static bool WriteBackChannel(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                               const References* references = nullptr);
  // The same for every channel in keys; the modified flag is set once. How many were written.
  static std::size_t WriteBackChannels(EngineCore::AnimClip& clip, const CurveSet& curves,
                                       const std::vector<std::uint32_t>& keys, const References* references = nullptr);

  // Recomputes the clip's key-frame range; true when both its first and its last frame
  // changed (the other modules are then told).
  static bool UpdateKeyFrameRange(EngineCore::AnimClip& clip);

  // The frame of the clip a point at x is keyed on: x truncated, never before frame 0.
  static std::uint32_t KeyFrameOf(float x) { return static_cast<std::uint32_t>(std::max(x, 0.0f)); }

 private:
  // A channel's tracks rewritten, without the modified flag.
  static bool WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                              const References* references);
};

}  // namespace Tarvel
