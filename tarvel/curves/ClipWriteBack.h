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

  // What an edit changed of one track's curves: outside the frames from..to (either may be
  // infinite), each of its three curves has the points it had, at the same frames with the
  // same values.
  struct TrackChange {
    std::uint32_t trackType = 0;
    float from = 0.0f;
    float to = 0.0f;
  };
  // Rewrites the tracks of the channel that changes name, with the keys WriteBackChannel
  // would give them, and sets the modified flag; the other tracks stay as they are. The caller
  // promises that every named track holds what WriteBackChannel wrote from its curves as they
  // were before the change. Where it can, a track keeps its keys outside the changed frames
  // and only the keys between the last one before them and the first one after them that
  // both writings share are made again: a drag over a few hundred frames of a long take
  // costs those frames, not the take. A track whose first or last frame the change reaches,
  // or that does not start and end on whole frames as written, is rewritten whole. False,
  // and nothing changes, when the set has no entry for the key.
  static bool WriteBackChanges(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                               const std::vector<TrackChange>& changes);

  // Recomputes the clip's key-frame range; true when both its first and its last frame
  // changed (the other modules are then told).
  static bool UpdateKeyFrameRange(EngineCore::AnimClip& clip);

 private:
  // A channel's tracks rewritten (all of them without changes, else those changes name),
  // without the modified flag.
  static bool WriteBackTracks(EngineCore::AnimClip& clip, const CurveSet& curves, std::uint32_t channelKey,
                              const std::vector<TrackChange>* changes);
};

}  // namespace Tarvel
