#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Formats/ClipFileError.h"

namespace Formats {

// Turns the keys of one glTF sampler into keys on whole frames of a clip's frame rate.
//
// 1. A track whose key times all lie on distinct whole frames keeps exactly its keys, a
//    CUBICSPLINE track its tangents too. A time lies on a frame when time x rate is within 0.001 of it, or when the
//    time is the float nearest to frame / rate (within one step of the float): that is how
//    a saved clip stores its frames, and past a few minutes a float second cannot come
//    nearer.
// 2. A track whose times fit no whole frame is sampled at every
//    whole frame from its first to its last key with the sampler's own interpolation
//    (rotations: spherical for LINEAR, renormalised for CUBICSPLINE), computed in double
//    precision so that values near the ends of the float range do not overflow on the way.
// 3. Times must be finite, not negative and strictly increasing; no key may lie past
//    ClipFileLimits::kMaxFrame.
// 4. Every key produced is finite. Rotations come out of unit length: a quaternion of any
//    other non-zero length is normalised, one of length zero refuses the track.
// 5. A clip's rate (ChooseFrameRate) is the lowest of kFrameRates at which every key time of
//    every track lies on a whole frame; with none, the clip is sampled at kDefaultFrameRate.
class TrackSampler {
 public:
  enum class Interpolation { Step, Linear, CubicSpline };

  struct Keys {
    std::vector<std::uint32_t> frames;
    std::vector<float> values;  // `components` floats per frame
    // A CUBICSPLINE track kept as it is: per key its in-tangent, then its out-tangent, as
    // the file holds them (`components` floats each). Empty for any other track.
    std::vector<float> tangents;
  };

  static constexpr double kFrameRates[] = {24, 25, 30, 48, 50, 60, 96, 100, 120, 240};
  static constexpr double kDefaultFrameRate = 60.0;

  // The rate of rule 5 for these tracks' key times; 0 when no rate fits them all.
  static double ChooseFrameRate(const std::vector<const std::vector<float>*>& tracks);
  // Whether every time lies on a distinct whole frame of the rate (rule 1).
  static bool OnDistinctWholeFrames(const std::vector<float>& times, double rate);

  // How many keys ToFrames makes of these times, so that a caller can refuse a track before
  // its keys take any memory. Fails (with a message) on times that break rule 3. `sampled`,
  // when given, says whether the keys are sampled onto frames (false: kept as they are).
  static ClipFileError CountKeys(const std::vector<float>& times, double rate, std::uint64_t& count,
                                 std::string& message, bool* sampled = nullptr);

  // `values` holds components floats per key, three times as many for CUBICSPLINE (in-tangent,
  // value, out-tangent). `sampled` tells whether rule 2 applied.
  // `counted`, when the caller's CountKeys just passed these times at this rate, says whether
  // they were to be sampled, so that they are not looked at again.
  static ClipFileError ToFrames(const std::vector<float>& times, const std::vector<float>& values, int components,
                                Interpolation interpolation, bool rotation, double rate, Keys& keys, bool& sampled,
                                std::string& message, const bool* counted = nullptr);
};

}  // namespace Formats
