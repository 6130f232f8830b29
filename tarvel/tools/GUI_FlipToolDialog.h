#pragma once

#include "EditorCore/GUI_Dialog.h"

namespace Tarvel {

// Asks which way to flip keys: Horizontal mirrors their values, Vertical their frames.
class GUI_FlipToolDialog : public EditorCore::GUI_Dialog {
 public:
  explicit GUI_FlipToolDialog(EditorCore::GUI_Wnd* parent);
  int DoModal();
  bool OnInitDialog() override;
  void OnOK() override;

  bool bVertical = false;
};

}  // namespace Tarvel
