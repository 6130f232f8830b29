#pragma once

#include "EditorCore/GUI_Dialog.h"
#include "tools/FrameRateSettings.h"

namespace Tarvel {

// Asks for a clip's new frame rate and how its keys go there. OK with a rate that is not a
// positive number keeps the dialog open.
class GUI_FrameRateDialog : public EditorCore::GUI_Dialog {
 public:
  GUI_FrameRateDialog(const FrameRateSettings& initial, EditorCore::GUI_Wnd* parent);
  int DoModal();
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(EditorCore::UINT id) override;

  FrameRateSettings settings;

 private:
  // The tolerance only matters when keys keep their times.
  void EnableTolerance();
};

}  // namespace Tarvel
