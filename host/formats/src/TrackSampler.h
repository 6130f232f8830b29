#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Formats/ClipFileError.h"

namespace Formats {

// Turns the keys of one glTF sampler into keys on whole frames of the engine's 60 frames
// per second.
//
// 1. A LINEAR track whose key times all lie on distinct whole frames keeps exactly its keys.
//    A time lies on a frame when time x 60 is within 0.001 of it, or when the time is the
//    float nearest to frame / 60 (within one step of the float): that is how a saved clip
//    stores its frames, and past about 8 minutes a float second cannot come nearer.
// 2. Any other track is sampled at every whole frame from its first to its last key with
//    the sampler's own interpolation (rotations: spherical for LINEAR, renormalised for
//    CUBICSPLINE), computed in double precision so that values near the ends of the float
//    range do not overflow on the way.
// 3. Times must be finite, not negative and strictly increasing; no key may lie past
//    ClipFileLimits::kMaxFrame.
// 4. Every key produced is finite. Rotations come out of unit length: a quaternion of any
//    other non-zero length is normalised, one of length zero refuses the track.
class TrackSampler {
 public:
  enum class Interpolation { Step, Linear, CubicSpline };

  struct Keys {
    std::vector<std::uint32_t> frames;
    std::vector<float> values;  // `components` floats per frame
  };

  static constexpr double kFramesPerSecond = 60.0;

  // How many keys ToFrames makes of these times, so that a caller can refuse a track before
  // its keys take any memory. Fails (with a message) on times that break rule 3.
  static ClipFileError CountKeys(const std::vector<float>& times, Interpolation interpolation, std::uint64_t& count,
                                 std::string& message);

  // `values` holds components floats per key, three times as many for CUBICSPLINE (in-tangent,
  // value, out-tangent). `sampled` tells whether rule 2 applied.
  static ClipFileError ToFrames(const std::vector<float>& times, const std::vector<float>& values, int components,
                                Interpolation interpolation, bool rotation, Keys& keys, bool& sampled,
                                std::string& message);
};

}  // namespace Formats
