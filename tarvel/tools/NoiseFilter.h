#pragma once

#include <vector>

namespace Tarvel {

// A zero-phase low-pass filter for captured motion: a windowed sinc (Blackman window) whose
// narrow transition is centred on the cut-off (from 0.97 to 1.03 of it), so that motion
// faster than 1.03 of the cut-off loses more than 70 dB, motion at the cut-off half its
// amplitude, and motion slower than 0.97 of it keeps its amplitude to a fraction of a
// percent. Keys are filtered as they lie in time, nothing is
// resampled: amid evenly spaced keys each new value is the kernel's weighted mean of the keys
// around it; amid uneven keys it is where a line fitted through them, weighted by the kernel
// at their own time distances, meets the key's time, so that a ramp stays a ramp. The range
// is extended past its ends by reflecting the keys through the motion at each end (a
// parabola fitted through the keys near it), so that the ends keep their course.
class NoiseFilter {
 public:
  // Filters values, keys at frames (ascending, as many as values) played at framesPerSecond.
  // False, leaving the values, when there are fewer than three keys or the cut-off is not
  // below the keys' own Nyquist rate (then there is nothing above it to take out).
  static bool LowPass(std::vector<float>& values, const std::vector<float>& frames, float framesPerSecond,
                      float cutoffHz);
  // The highest cut-off that filters anything, in Hz: half the rate of the closest keys.
  static float HighestCutoff(const std::vector<float>& frames, float framesPerSecond);
};

}  // namespace Tarvel
