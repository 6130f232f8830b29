#pragma once

#include <functional>

#include "tools/GUI_ToolValueDialog.h"

namespace Tarvel {

// Asks for the noise filter's cut-off in Hz, and shows each cut-off typed on the curves at
// once: the graph previews what OK keeps. A cut-off at or above the highest that filters
// anything is refused (OK keeps the dialog open and the box shows the highest).
class GUI_FilterNoiseDialog : public GUI_ToolValueDialog {
 public:
  GUI_FilterNoiseDialog(float cutoffHz, float highestHz, std::function<void(float)> preview,
                        EditorCore::GUI_Wnd* parent);
  float Cutoff() const { return static_cast<float>(value); }

  bool OnInitDialog() override;
  void OnOK() override;
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;

 private:
  bool Usable(double cutoff) const { return cutoff > 0.0 && cutoff < highest; }

  double highest;
  std::function<void(float)> preview;
  double previewed = -1.0;
};

}  // namespace Tarvel
