#pragma once

#include "EditorCore/GUI_Dialog.h"

namespace Tarvel {

// Asks which way to flip keys: Horizontal mirrors their values, Vertical their frames.
class GUI_FlipToolDialog : public EditorCore::GUI_Dialog {
 public:
  static constexpr EditorCore::UINT kTemplate = 1112;
  static constexpr EditorCore::UINT kHorizontal = 1053;
  static constexpr EditorCore::UINT kVertical = 1054;

  explicit GUI_FlipToolDialog(EditorCore::GUI_Wnd* parent) : GUI_Dialog(kTemplate, parent) {}
  int DoModal();
  bool OnInitDialog() override;
  void OnOK() override;

  bool bVertical = false;
};

}  // namespace Tarvel
