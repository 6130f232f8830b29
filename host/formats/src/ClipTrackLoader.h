#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "Formats/ClipFileError.h"
#include "TrackSampler.h"

namespace Formats {

// Puts the tracks read from a clip file, whatever its format, into an engine clip: each is
// brought onto whole frames by TrackSampler, the clip as a whole is kept within
// ClipFileLimits::kMaxClipKeys (checked before a track's keys take memory), and a channel is
// made when its first track comes.
class ClipTrackLoader {
 public:
  explicit ClipTrackLoader(EngineCore::AnimClip& clip) : clip_(clip) {}

  // `values` holds 3 floats per key, 4 (x, y, z, w) for a rotation, three times as many for
  // CUBICSPLINE. Fails with a message on bad times or values, a second track of one type on a
  // channel, or a clip grown past its bound.
  [[nodiscard]] ClipFileError Add(const std::string& channel, std::uint32_t trackType, const std::vector<float>& times,
                                  const std::vector<float>& values, TrackSampler::Interpolation interpolation,
                                  std::string& message);

  // Whether any track had keys between whole frames and was sampled.
  bool Sampled() const { return sampled_; }

 private:
  EngineCore::AnimClip& clip_;
  TrackSampler::Keys keys_;
  std::uint64_t totalKeys_ = 0;
  bool sampled_ = false;
};

}  // namespace Formats
