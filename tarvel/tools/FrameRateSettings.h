#pragma once

namespace Tarvel {

// What Frame Rate... asks: the new rate, and whether keys keep their times (resampled where
// they fall between frames, within the tolerance) or their frame numbers (a re-timing).
struct FrameRateSettings {
  float fRate = 60.0f;
  bool bKeepTimes = true;
  float fTolerance = 0.001f;
};

}  // namespace Tarvel
