#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "curves/CurveSet.h"

namespace Tarvel {

// Turns a channel's editable curves back into the clip's key curves.
//
// Each triple X, Y, Z of a track is sampled on whole-frame steps from its earliest to its
// latest point (the first step is not rounded, so a triple starting at 7.9 is sampled at
// 7.9, 8.9, ... and keyed at frames 7, 8, ...). A sample that lies on the line through the
// last written key and the next frame is dropped, so constant and linear runs collapse to
// their ends. Rotation angles go back from degrees to quaternions.
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

 private:
  // A channel's tracks rewritten, without the modified flag.
  static bool WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey);
};

}  // namespace Tarvel
