#pragma once

#include "tools/ToolQuestions.h"

namespace Tarvel {

// The tools' questions as the module's modal dialogs, owned by the host's main window.
class DialogToolQuestions : public ToolQuestions {
 public:
  bool AskFlip(bool& bVertical) override;
  bool AskScale(ScaleSettings& settings) override;
  bool AskSmooth(int& iSubdivision) override;
  bool AskSubdivise(int& iSubdivision) override;
  bool AskSubSample(float& fTolerance) override;
  bool AskFrameRate(FrameRateSettings& settings) override;
  bool AskAffectChannel() override;
  bool AskFilterNoise(float& fCutoffHz, float highestHz, const std::function<void(float)>& preview) override;
  void Tell(const std::string& sentence) override;

 private:
  float lastCutoff = 0.0f;
};

}  // namespace Tarvel
