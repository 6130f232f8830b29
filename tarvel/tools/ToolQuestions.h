#pragma once

#include <functional>
#include <string>

#include "tools/FrameRateSettings.h"
#include "tools/ScaleSettings.h"

namespace Tarvel {

// The questions the tools and point operations put to the user before they act. The module
// answers them with its modal dialogs; tests answer them directly. Each Ask fills its
// settings from what the user gave and returns whether the tool is to go on.
class ToolQuestions {
 public:
  virtual ~ToolQuestions() = default;

  // Flip: true mirrors frames (vertical), false values. False unless confirmed with OK.
  virtual bool AskFlip(bool& bVertical) = 0;
  // Scale: settings come in with the current and wished lengths. False only when the user
  // cancelled: a scale without answer goes on with the settings as they are.
  virtual bool AskScale(ScaleSettings& settings) = 0;
  // Smooth and subdivise: keys to insert per segment (0 at first). False unless OK.
  virtual bool AskSmooth(int& iSubdivision) = 0;
  virtual bool AskSubdivise(int& iSubdivision) = 0;
  // Subsample: how far the curve may move (0.05 at first). False unless OK.
  virtual bool AskSubSample(float& fTolerance) = 0;
  // Frame Rate: settings come in with the clip's rate. False unless OK.
  virtual bool AskFrameRate(FrameRateSettings& settings) = 0;
  // A selected object has no channel: whether it takes the channel being keyed.
  virtual bool AskAffectChannel() = 0;
  // Filter Noise: the cut-off in Hz (the last one used at first), below highestHz. While it
  // asks, preview shows the curves filtered at a cut-off the user is trying. False unless OK.
  virtual bool AskFilterNoise(float& fCutoffHz, float highestHz, const std::function<void(float)>& preview) = 0;
  // Tells the user why a tool did nothing.
  virtual void Tell(const std::string& sentence) = 0;
};

}  // namespace Tarvel
