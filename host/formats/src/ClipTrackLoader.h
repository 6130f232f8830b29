#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "Formats/ClipFileError.h"
#include "TrackSampler.h"

namespace Formats {

// Puts the tracks read from a clip file, whatever its format, into an engine clip at a frame
// rate of the file's: each is brought onto whole frames of that rate by TrackSampler and keeps
// its interpolation (STEP stays a step, CUBICSPLINE keeps its tangents; a sampled cubic track
// is linear), the clip as a whole
// is kept within ClipFileLimits::kMaxClipKeys (checked before a track's keys take memory),
// and a channel is made when its first track comes.
class ClipTrackLoader {
 public:
  explicit ClipTrackLoader(EngineCore::AnimClip& clip) : clip_(clip) {}

  // The rate of the keys of every track added after, and the clip's.
  void SetFrameRate(double rate);
  // Chooses the rate for these tracks' key times: `saved` (the rate a file says it was saved
  // at, 0 for none) when they all fit it, else TrackSampler::ChooseFrameRate; when none fits,
  // the clip's default, the tracks then sampled.
  void ChooseFrameRate(const std::vector<const std::vector<float>*>& times, double saved = 0.0);

  // `values` holds 3 floats per key, 4 (x, y, z, w) for a rotation, `weights` for morph-target
  // weights, three times as many for CUBICSPLINE. Fails with a message on bad times or values,
  // a second track of one type on a channel, or a clip grown past its bound.
  [[nodiscard]] ClipFileError Add(const std::string& channel, std::uint32_t trackType, const std::vector<float>& times,
                                  const std::vector<float>& values, TrackSampler::Interpolation interpolation,
                                  std::string& message, std::uint32_t weights = 0);

  // Why the clip's keys are not all as the file holds them, for the log and the user;
  // empty when they are.
  std::string SamplingNote() const;

 private:
  EngineCore::AnimClip& clip_;
  double rate_ = TrackSampler::kDefaultFrameRate;
  bool rateFits_ = true;
  TrackSampler::Keys keys_;
  // Tracks often share their key times: what the last times counted to at this rate.
  std::vector<float> countedTimes_;
  double countedRate_ = 0.0;
  std::uint64_t countedKeys_ = 0;
  bool countedSampled_ = true;
  std::uint64_t totalKeys_ = 0;
  bool sampledOffRate_ = false;
};

}  // namespace Formats
